#pragma once

#include "framework/exception.h"

#include <string>

// Another Clipwell is writing the partial file this grab would write: two
// transfers into one file would mix their bytes, so the later one does not
// start and says why, naming the file.
class CPartialInUseException : public CException {
public:
    explicit CPartialInUseException(std::u16string partialName) : m_partialName(std::move(partialName)) {}

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;
    bool GetWideErrorMessage(std::u16string& text, unsigned* helpContext = nullptr) const override;

private:
    std::u16string m_partialName;
};
