#pragma once

#include "framework/unique_handle.h"

#include <optional>
#include <string>

// A Clipwell's claim on a partial file, by its full path: a named mutex
// that lives as long as the claim. A file that another process holds open
// is "another Clipwell's" only when that one holds the claim; anything
// else holding it is some other program.
class PartialClaim {
public:
    PartialClaim() = default;
    // Claims the file at path (any spelling of it); nothing when another
    // claim on it exists.
    static std::optional<PartialClaim> Take(const std::wstring& path);

    void Release() { m_mutex.Close(); }

private:
    explicit PartialClaim(UniqueHandle mutex) : m_mutex(std::move(mutex)) {}

    UniqueHandle m_mutex;
};
