// Keeps the shipped stub small. The C++ runtime's exception classes (std::runtime_error, the
// base of plat::Error, and its kin) keep their message in the runtime's older, reference-
// counted string class and call twelve of its member functions. The runtime archive has
// those functions in one object file with the whole of that class and, through it,
// std::random_device: about 35 KB. On this target the linker keeps every function of an
// object file it loads, because the exception tables refer to all of them, so that object
// stays whole in the program. Instantiating the twelve functions here, from the runtime's own
// headers, defines them before the linker searches the archive, and the object is never
// loaded. The code is the library's; only where it is compiled changes.
//
// This file is compiled with _GLIBCXX_USE_CXX11_ABI=0, where std::string is that older class.
#include <string>

#if _GLIBCXX_USE_CXX11_ABI
#error "ExceptionStrings.cpp needs _GLIBCXX_USE_CXX11_ABI=0"
#endif

using CowString = std::string;
using CowSize = CowString::size_type;
using CharAlloc = std::allocator<char>;

// Called from the exception classes' objects in the runtime archive.
template CowString::_Rep* CowString::_Rep::_S_create(CowSize, CowSize, const CharAlloc&);
template void CowString::_Rep::_M_destroy(const CharAlloc&) throw();
template void CowString::_Rep::_M_dispose(const CharAlloc&);
template char* CowString::_Rep::_M_clone(const CharAlloc&, CowSize);
template char* CowString::_S_construct(CowSize, char, const CharAlloc&);
template void CowString::swap(CowString&);
template CowString& CowString::assign(const CowString&);

// Called by the functions above where the compiler does not inline them.
template bool CowString::_Rep::_M_is_leaked() const;
template char* CowString::_Rep::_M_refcopy();
template void CowString::_Rep::_M_set_length_and_sharable(CowSize);
template void CowString::_M_copy(char*, const char*, CowSize);
template void CowString::_M_assign(char*, CowSize, char);
