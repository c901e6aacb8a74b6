// The wizard windows' picture and the golden file.
#include "WizardPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/gui/Layout.h"
#include "wizard/Layouts.h"
#include "wizard/Texts.h"
#include "wizard/content/Content.h"

namespace guitest {

namespace {

// The golden file's path, from the build (a Wine path in the Windows builds).
constexpr char kGoldenPath[] = LUMI_GOLDEN_PICTURE;

constexpr char kHeader[] =
    "# The wizard's windows as their layout tables build them (tests/gui/WizardPicture.h says\n"
    "# how to write this file again). One control per line, in table order; Windows-1252 bytes.\n";

template <class F>
gui::TForm& BuildPlain(gui::TApplication& app, const gui::Layout<F>& layout) {
  auto* form = app.CreateForm<gui::TForm>();
  gui::ApplyFormDef(*form, layout.form);
  for (const auto& row : layout) gui::BuildControl(*form, row.def);
  return *form;
}

NamedTexts ProgramTexts() {
  return {{"licence.txt", content::LicenceText()},
          {"information.txt", content::InformationText()},
          {"privacy.txt", content::PrivacyNotice()},
          {"slogan.txt", content::Slogan()},
          {"vendor-notice-1.txt", content::VendorNotice1()},
          {"vendor-notice-2.txt", content::VendorNotice2()},
          {"kDefaultDestination (Texts.h)", wizard::kDefaultDestination}};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c != '\n') {
      line += c;
      continue;
    }
    if (!line.empty() && line[0] != '#') lines.push_back(line);
    line.clear();
  }
  if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

// The lines from the window's form line to the next form line.
std::vector<std::string> Part(const std::vector<std::string>& lines, const std::string& window) {
  if (window.empty()) return lines;
  auto formLine = [](const std::string& line) {
    const std::size_t name = line.find(' ');
    return name != std::string::npos && line.compare(name, 8, " (form) ") == 0;
  };
  std::vector<std::string> part;
  for (const std::string& line : lines) {
    if (formLine(line) && !part.empty()) break;
    if (!part.empty() || (formLine(line) && line.compare(0, window.size() + 1, window + " ") == 0))
      part.push_back(line);
  }
  return part;
}

}  // namespace

std::string WizardWindowsPicture(gui::TApplication& app, const PictureReader& read) {
  gui::TForm& wizardWindow = BuildPlain(app, wizard::Form1Layout());
  gui::TForm& chooser = BuildPlain(app, wizard::Form2Layout());
  wizardWindow.Show();
  chooser.Show();
  const NamedTexts named = ProgramTexts();
  return WindowPicture(wizardWindow, read, named) + WindowPicture(chooser, read, named);
}

void ExpectGoldenPicture(const std::string& picture, const std::string& window) {
  const char* update = std::getenv("LUMI_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::ofstream out(kGoldenPath, std::ios::binary | std::ios::trunc);
    out << kHeader << picture;
    ASSERT_TRUE(out.good()) << "cannot write " << kGoldenPath;
  }
  std::ifstream in(kGoldenPath, std::ios::binary);
  ASSERT_TRUE(in.good()) << "cannot read " << kGoldenPath;
  const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto want = Part(Lines(golden), window);
  const auto got = Part(Lines(picture), window);
  ASSERT_FALSE(want.empty()) << "no window " << window << " in " << kGoldenPath;
  int reported = 0;
  for (std::size_t i = 0; i < want.size() || i < got.size(); ++i) {
    const std::string w = i < want.size() ? want[i] : "(no line)";
    const std::string g = i < got.size() ? got[i] : "(no line)";
    if (w == g) continue;
    ADD_FAILURE() << "line " << i + 1 << " of " << (window.empty() ? "the picture" : window)
                  << "\n  golden: " << w << "\n  shown:  " << g;
    if (++reported == 10) break;  // the first differences say enough
  }
}

}  // namespace guitest
