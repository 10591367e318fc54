#include "error_text.h"

ErrorText ErrorTextOf(const CException& error, unsigned capacity)
{
    std::string buffer(capacity, '#');
    ErrorText result;
    result.help = 12345;
    result.has = error.GetErrorMessage(buffer.data(), capacity, &result.help);
    result.text = buffer.c_str();
    return result;
}
