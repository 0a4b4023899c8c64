#pragma once

namespace iomira {

// The MIME name of the narrow code set that mail texts are converted to before they reach the
// mail client (the locale's code set: UTF-8 on Linux). The sender name and subject are
// declared in it, and callers pass it to CSmtp::SetCharSet for the body. Declaring any other
// set than the bytes really use garbles every non-ASCII character at the receiver.
const char* mailCharSet();

} // namespace iomira
