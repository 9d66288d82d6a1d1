#pragma once

#include <QByteArray>
#include <QList>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <optional>

// A practice set heavier on the pages than the large set, for the program's
// memory: 150 questions in the large set's rhythm (seven plain questions,
// then four materials of two questions), long materials (about 5,000
// characters with a table), a 600 x 320 figure in every fifth material, one
// 900 x 500 figure in a stem, a formula image of its own beside the text of
// every stem, and one stem of 12,000 characters. Images are served by the
// fake service over HTTP as a content server would: cacheable, the figures
// grainy as scans (they compress no better than real ones). Built in code
// (the same set on every call) in the service's wire form.
namespace FakeHeavySet {

inline constexpr int questionCount = 150;
inline constexpr int materialCount = 40;
inline constexpr int materialCharacters = 5000;
inline constexpr int figureEvery = 5;
inline constexpr int figureWidth = 600;
inline constexpr int figureHeight = 320;
inline constexpr auto figurePathPrefix = "/heavy/figures/";
inline constexpr int largeFigureIndex = 4; // the question whose stem holds it
inline constexpr int largeFigureWidth = 900;
inline constexpr int largeFigureHeight = 500;
inline constexpr auto largeFigurePath = "/heavy/large/0.png";
inline constexpr int formulaWidth = 56;
inline constexpr int formulaHeight = 24;
inline constexpr auto formulaPathPrefix = "/heavy/formulas/";
inline constexpr int longStemIndex = 2;
inline constexpr int longStemCharacters = 12000;

// {"materialsList": [...], "questionList": [...]}; images are addressed
// under imageBase (the fake service's base address).
[[nodiscard]] QJsonObject questionModel(const QUrl &imageBase);

// The PNG image at a path of this set's images, or nothing for any other.
[[nodiscard]] std::optional<QByteArray> figure(const QString &path);

// The header lines a content server sends with such an image: cacheable for
// a month, with a validator.
[[nodiscard]] QList<QByteArray> cacheHeaders(const QByteArray &image);

} // namespace FakeHeavySet
