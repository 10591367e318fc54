#include "framework/error_message.h"

#include "framework/framework_resource.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"

std::wstring ErrorMessageText(const CException& error, unsigned fallbackId, unsigned* helpContext)
{
    unsigned context = 0;
    // A text that names something the ANSI code page cannot hold.
    std::u16string wide;
    std::wstring text;
    char narrow[CException::kErrorTextCapacity] = "";
    if (error.GetWideErrorMessage(wide, &context) && !wide.empty()) {
        text = ToWide(wide);
    } else if (error.GetErrorMessage(narrow, CException::kErrorTextCapacity, &context) && narrow[0] != '\0') {
        text = AnsiToWide(narrow);
    } else {
        // An empty text (the extended error when the server said nothing)
        // is no text: the fallback says more.
        context = fallbackId != 0 ? fallbackId : AFX_IDP_NO_ERROR_AVAILABLE;
        LoadResourceString(context, wide);
        text = ToWide(wide);
    }
    if (helpContext != nullptr)
        *helpContext = context;
    return text;
}
