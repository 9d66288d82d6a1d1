#pragma once

#include <QSet>
#include <QString>
#include <optional>

// Notes which request and response modes each path has used, once per
// combination per process. The texts go only to the silent logging category.
namespace CryptoDiagnostics {

// Records path + mode; returns the text formed when the pair is new.
std::optional<QString> request(const QString &path, const QString &mode);
// Records path + mode + payload; returns the text formed when the triple is new.
std::optional<QString> response(const QString &path, const QString &mode, const QString &payload);

[[nodiscard]] const QSet<QString> &seenRequestModes();
[[nodiscard]] const QSet<QString> &seenResponseModes();

// Writes one diagnostic line to the network logging category.
void note(const QString &text);

} // namespace CryptoDiagnostics
