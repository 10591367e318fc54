#pragma once

#include "framework/exception.h"

#include <string>

// Another program has the partial file this grab would write open: two
// writers of one file would mix their bytes, so the grab does not start and
// says why, naming the file, and whether the other is a Clipwell, which
// only the other's claim on the file tells.
class CPartialInUseException : public CException {
public:
    CPartialInUseException(std::u16string partialName, bool byClipwell)
        : m_partialName(std::move(partialName)), m_byClipwell(byClipwell)
    {
    }

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;
    bool GetWideErrorMessage(std::u16string& text, unsigned* helpContext = nullptr) const override;

private:
    std::u16string m_partialName;
    bool m_byClipwell;
};
