#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <optional>

// A practice set shaped like a large real one, for measuring the question
// screen: 150 questions with HTML options, 40 reading materials of 2 to
// 10 kB with data tables, 600 px figures in every fifth material and in some
// stems, small formula images inline with the text, analyses whose markup
// arrives escaped, and one 12 kB stem. Built in code (the same set on every
// call) in the service's wire form; the fake service serves its figures and
// formulas as PNG images.
namespace FakeLargeSet {

inline constexpr int questionCount = 150;
inline constexpr int materialCount = 40;
inline constexpr int figureCount = 8;
inline constexpr int figureWidth = 600;
inline constexpr int figureHeight = 360;
inline constexpr int longStemIndex = 2;
inline constexpr int longStemBytes = 12 * 1024;
inline constexpr auto figurePathPrefix = "/figures/";
inline constexpr int formulaCount = 6;
inline constexpr int formulaWidth = 56;
inline constexpr int formulaHeight = 24;
inline constexpr auto formulaPathPrefix = "/formulas/";

// {"materialsList": [...], "questionList": [...]}; figures are addressed
// under figureBase (the fake service's base address).
[[nodiscard]] QJsonObject questionModel(const QUrl &figureBase);

// The PNG image at a path under figurePathPrefix ("/figures/3.png") or
// formulaPathPrefix ("/formulas/2.png"), or nothing for any other path.
[[nodiscard]] std::optional<QByteArray> figure(const QString &path);

// A bar chart of that size as an RGB PNG, different bars per index (the
// images of this set and of the heavy one); with grain, noisy as a scan, so
// that it compresses no better than one.
[[nodiscard]] QByteArray barChartPng(int index, int width, int height, bool grain = false);

// The image index in a path "<prefix><index>.png" with 0 <= index < count,
// or -1.
[[nodiscard]] int imageIndex(const QString &path, const char *prefix, int count);

} // namespace FakeLargeSet
