// The two-line header that names the program, its version and its legal
// notice; the usage box and the about box start with it.
#pragma once

#include <tovrin/ProductObjects.h>

#include <string>

namespace veskar {

// "1.00.0010" for version 1.0.10.
std::wstring GetVersionText(const tovrin::AppIdentity& app);
std::wstring GetVersionSeparator(bool withVer);
// The notice as stored, or, with rewrite on, the product's Cyrillic notice in
// its Latin-script form; any other text is given back unchanged.
std::wstring GetDisplayNotice(const std::wstring& text, bool rewrite);
std::wstring GetAboutHeader(const tovrin::AppIdentity& app, bool withVer, bool rewrite);

// Whole-text match in the manner of Basic's Like: "[0-9]" matches one
// character of that range, every other character matches itself, ignoring case.
bool Like(const std::wstring& text, const std::wstring& pattern);

} // namespace veskar
