// GBK (code page 936) texts at the boundary with Qt, which works in UTF-16. Qt 6's own codecs
// may lack GBK, so the conversion goes through the C library's iconv.
//
// A byte sequence that is not GBK becomes U+FFFD in the QString and the bytes after it are still
// converted: a bad byte never garbles the rest of the text. Going back, a character that GBK
// cannot hold becomes "?".
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace rt::qt {

QString fromGbk(std::string_view gbk);
std::string toGbk(const QString& text);

} // namespace rt::qt
