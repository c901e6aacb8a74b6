// A test stand-in for the system's Simple MAPI library: its MAPISendMail writes what it was
// handed to the file named by the environment variable LUMI_MAPI_CAPTURE and answers the value
// of LUMI_MAPI_RESULT (0 when unset). Tests put it where the mail layer must, or must not,
// load it from.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name) {
  char buffer[1024];
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

// A null text is written as "(null)" so that the test can tell it from an empty one.
void Text(std::string& out, const char* label, const char* text) {
  out += label;
  out += '=';
  out += text ? text : "(null)";
  out += '\n';
}

void Number(std::string& out, const char* label, unsigned long long value) {
  out += label;
  out += '=';
  out += std::to_string(value);
  out += '\n';
}

void Recipient(std::string& out, const MapiRecipDesc& r) {
  Number(out, "class", r.ulRecipClass);
  Text(out, "name", r.lpszName);
  Text(out, "address", r.lpszAddress);
  Number(out, "eid", r.ulEIDSize + (r.lpEntryID ? 1000 : 0));
}

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR parent,
                                                           lpMapiMessage m, FLAGS flags,
                                                           ULONG reserved) {
  std::string out;
  Number(out, "session", session);
  Number(out, "parent", parent);
  Number(out, "flags", flags);
  Number(out, "reserved", reserved);
  if (m) {
    Text(out, "subject", m->lpszSubject);
    Text(out, "body", m->lpszNoteText);
    Text(out, "type", m->lpszMessageType);
    Text(out, "date", m->lpszDateReceived);
    Text(out, "conversation", m->lpszConversationID);
    Number(out, "messageflags", m->flFlags);
    if (m->lpOriginator) Recipient(out, *m->lpOriginator);
    Number(out, "recipients", m->nRecipCount);
    for (ULONG i = 0; i < m->nRecipCount; ++i) Recipient(out, m->lpRecips[i]);
    Number(out, "files", m->nFileCount);
    for (ULONG i = 0; i < m->nFileCount; ++i) {
      const MapiFileDesc& f = m->lpFiles[i];
      Number(out, "position", f.nPosition);
      Text(out, "path", f.lpszPathName);
      Text(out, "file", f.lpszFileName);
      Number(out, "filetype", f.lpFileType ? 1 : 0);
    }
  }
  const std::string path = Env("LUMI_MAPI_CAPTURE");
  if (!path.empty()) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(out.data(), 1, out.size(), f);
      std::fclose(f);
    }
  }
  const std::string result = Env("LUMI_MAPI_RESULT");
  return result.empty() ? 0 : static_cast<ULONG>(std::strtoul(result.c_str(), nullptr, 10));
}
