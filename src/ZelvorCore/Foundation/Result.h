#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace brisklet {

/// The value of a `Result` that carries no payload on success.
struct Unit {
    bool operator==(const Unit&) const = default;
};

/// Success with a value, or a typed error. Errors never travel as exceptions across layers.
template <class T, class E> class Result {
public:
    static Result success(T value) { return Result(std::in_place_index<0>, std::move(value)); }
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool ok() const { return storage_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return std::get<0>(storage_);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(storage_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(storage_));
    }
    const E& error() const {
        assert(!ok());
        return std::get<1>(storage_);
    }

private:
    template <std::size_t I, class V> Result(std::in_place_index_t<I> tag, V&& v) : storage_(tag, std::forward<V>(v)) {}
    std::variant<T, E> storage_;
};

template <class E> using Status = Result<Unit, E>;

template <class E> Status<E> succeeded() {
    return Status<E>::success(Unit{});
}

} // namespace brisklet
