#include "notify/smtp/smtp_charset.h"

namespace iomira {

// Texts are narrowed with the program's local-code-set helper, which yields UTF-8 on Linux
// whatever the locale says; a Windows build would return its ANSI code page's name here.
const char* mailCharSet() {
    return "utf-8";
}

} // namespace iomira
