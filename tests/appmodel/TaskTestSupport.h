#pragma once

#include <QCoro/QCoroTask>

#include <exception>
#include <optional>

// QCoro::waitFor never returns from a task that throws; the tasks under test
// are not meant to throw, and these turn an escaped error into a value that a
// test can check.

template<class T>
QCoro::Task<std::optional<T>> captured(QCoro::Task<T> task)
{
    try {
        co_return co_await std::move(task);
    } catch (...) {
        co_return std::nullopt;
    }
}

// True when the task finished without an error.
inline QCoro::Task<bool> completes(QCoro::Task<> task)
{
    try {
        co_await std::move(task);
        co_return true;
    } catch (...) {
        co_return false;
    }
}
