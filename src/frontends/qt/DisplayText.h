// Decodes the bytes of a name or line for display only; what is stored stays the bytes.
#pragma once

#include <QString>

#include <string>

namespace rotaline {

// Windows: the ANSI code page. Elsewhere: UTF-8 where the bytes are valid UTF-8, else
// Windows-1252, the code page files copied from Windows servers are most often in.
QString DisplayText(const std::string& bytes);

} // namespace rotaline
