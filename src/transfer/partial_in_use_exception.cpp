#include "transfer/partial_in_use_exception.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
#include "transfer/transfer_resource.h"

bool CPartialInUseException::GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext) const
{
    std::u16string text;
    GetWideErrorMessage(text, helpContext);
    return CopyErrorText(WideToAnsi(ToWide(text)), error, maxError);
}

bool CPartialInUseException::GetWideErrorMessage(std::u16string& text, unsigned* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    if (!LoadResourceString(m_byClipwell ? IDS_TRANSFER_IN_USE : IDS_TRANSFER_HELD_OPEN, text))
        return false;
    text = FillPlaceholders<char16_t>(text, {m_partialName});
    return true;
}
