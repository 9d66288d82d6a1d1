#pragma once

#include <QString>
#include <exception>

// Base of every error the program throws. Errors cross co_await unchanged and
// reach the model's one handler, which shows localizedDescription() to the user.
class VuzoError : public std::exception
{
public:
    ~VuzoError() override = default;
    [[nodiscard]] virtual QString localizedDescription() const = 0;
    [[nodiscard]] const char *what() const noexcept override;

private:
    mutable QByteArray m_what;
};
