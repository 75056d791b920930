#pragma once
// Result<T>: the value a reader or writer produced, or the Error that stopped it,
// with the warnings met on the way. Readers, writers and operations return it;
// the window and the command line turn the error into the text they show.
// Shaped like std::expected so that it can be swapped for it once the codebase
// moves to C++23.

#include <cassert>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vb {

enum class ErrorCode {
    io,         // the file system refused (open, read, write, rename, mkdir)
    truncated,  // the data ended before a field or record was complete
    invalid,    // a field holds a value the format does not allow
    range,      // a value does not fit the sizes the format or the record allows
    usage,      // the caller asked for something that cannot be done
    unidentified,  // the input is of a layout the reader does not know
    empty,      // the input was read but holds no data to use
};

struct Error {
    ErrorCode code = ErrorCode::invalid;
    std::int64_t offset = -1;  // byte offset in the input, -1 when not applicable
    std::string message;       // lowercase, names the field and the numbers
};

/// Builds an Error without an offset.
inline Error makeError(ErrorCode code, std::string message) {
    return Error{code, -1, std::move(message)};
}

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { assert(ok()); return std::get<0>(m_data); }
    const T& value() const& { assert(ok()); return std::get<0>(m_data); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(m_data)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(m_data); }

    /// What went wrong without stopping the reader (a ride read up to a cut),
    /// kept beside the value or the error in the order it was found.
    const std::vector<Error>& warnings() const { return m_warnings; }
    void addWarning(Error warning) { m_warnings.push_back(std::move(warning)); }

private:
    std::variant<T, Error> m_data;
    std::vector<Error> m_warnings;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_ok(false) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Error& error() const { assert(!m_ok); return m_error; }

    const std::vector<Error>& warnings() const { return m_warnings; }
    void addWarning(Error warning) { m_warnings.push_back(std::move(warning)); }

private:
    Error m_error;
    std::vector<Error> m_warnings;
    bool m_ok = true;
};

}  // namespace vb
