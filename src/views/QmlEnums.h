#pragma once

#include "models/Enums.h"
#include "models/ExamMode.h"
#include "models/PracticeHistoryTab.h"
#include "models/QuestionType.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The model's enumerations by name in QML (`AppScreen.Questions`). QML needs
// capitalised names, so each is mirrored here, every value taken from the C++
// case it names.

namespace AppScreenQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(AppScreen)
enum Value {
    Login = int(AppScreen::login),
    Home = int(AppScreen::home),
    Purchase = int(AppScreen::purchase),
    Questions = int(AppScreen::questions),
    Report = int(AppScreen::report),
    Analysis = int(AppScreen::analysis),
    Collections = int(AppScreen::collections),
    History = int(AppScreen::history),
};
Q_ENUM_NS(Value)
} // namespace AppScreenQml

namespace ExamModeQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(ExamMode)
enum Value {
    Practice = int(ExamMode::practice),
    Review = int(ExamMode::review),
};
Q_ENUM_NS(Value)
} // namespace ExamModeQml

namespace QuestionTypeQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(QuestionType)
enum Value {
    Single = int(QuestionType::single),
    Multiple = int(QuestionType::multiple),
    Answer = int(QuestionType::answer),
};
Q_ENUM_NS(Value)
} // namespace QuestionTypeQml

namespace PracticeHistoryTabQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(PracticeHistoryTab)
enum Value {
    Practice = int(PracticeHistoryTab::practice),
    Paper = int(PracticeHistoryTab::paper),
};
Q_ENUM_NS(Value)
} // namespace PracticeHistoryTabQml
