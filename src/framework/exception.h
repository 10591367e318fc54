#pragma once

#include <string>
#include <string_view>

// The framework's error objects. Every failure of the program is raised as
// one of these (thrown by value, caught by reference) and reported where
// the thread's one catch site is.
class CException {
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException();

    // Room for any of the program's error texts, the NUL included.
    static constexpr unsigned kErrorTextCapacity = 512;

    // Puts the error's text into error: at most maxError - 1 characters and
    // a NUL. Sets *helpContext (when given) to the text's help context.
    // False, with an empty text, when the error has no text.
    virtual bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const;

    // The error's text in UTF-16, for an error whose text the ANSI code
    // page cannot hold, such as one naming a file in another script. False
    // when the narrow text says it all.
    virtual bool GetWideErrorMessage(std::u16string& text, unsigned* helpContext = nullptr) const;

    // Shows the error's text, or string fallbackId when it has none, in a
    // message box with the flags type. Returns the pressed button.
    int ReportError(unsigned type = 0, unsigned fallbackId = 0) const;

protected:
    // Copies text into error as GetErrorMessage promises; true when copied.
    static bool CopyErrorText(std::string_view text, char* error, unsigned maxError);
};

// An error whose text is one string resource.
class CSimpleException : public CException {
public:
    explicit CSimpleException(unsigned stringId) : m_stringId(stringId) {}
    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;

private:
    unsigned m_stringId;
};

// Memory is exhausted.
class CMemoryException : public CSimpleException {
public:
    CMemoryException();
};

// An argument, such as an index past the end of a list, is out of range.
class CInvalidArgException : public CSimpleException {
public:
    CInvalidArgException();
};

// A failure that has already been shown to the user; reported by no one.
class CUserException : public CException {
};
