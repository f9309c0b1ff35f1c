#pragma once

#include <qcoro/qcorotask.h>

#include <exception>
#include <optional>

namespace tavlin::test {

// Runs the event loop until `task` is done and returns its result, rethrowing its error.
// (QCoro::waitFor never returns when the awaited task throws.)
template <class T>
T await(QCoro::Task<T>&& task)
{
    std::exception_ptr error;
    auto catching = [](QCoro::Task<T> inner, std::exception_ptr& caught) -> QCoro::Task<std::optional<T>> {
        try {
            co_return co_await std::move(inner);
        } catch (...) {
            caught = std::current_exception();
        }
        co_return std::nullopt;
    };
    std::optional<T> result = QCoro::waitFor(catching(std::move(task), error));
    if (error)
        std::rethrow_exception(error);
    return *std::move(result);
}

inline void await(QCoro::Task<>&& task)
{
    std::exception_ptr error;
    auto catching = [](QCoro::Task<> inner, std::exception_ptr& caught) -> QCoro::Task<> {
        try {
            co_await std::move(inner);
        } catch (...) {
            caught = std::current_exception();
        }
    };
    QCoro::waitFor(catching(std::move(task), error));
    if (error)
        std::rethrow_exception(error);
}

} // namespace tavlin::test
