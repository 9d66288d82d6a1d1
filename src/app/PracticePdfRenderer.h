#pragma once

#include "models/QuestionModel.h"

#include <QString>
#include <QCoro/QCoroTask>

#include <functional>

// Turns a practice set into the finished PDF at a destination. One renderer
// serves one export; the export flow creates it and awaits render().
class PracticePdfRenderer
{
public:
    using Progress = std::function<void(const QString &)>;

    virtual ~PracticePdfRenderer() = default;
    // Ends normally only once the destination holds the finished document;
    // throws (a VuzoError) otherwise, leaving an existing destination as it was.
    virtual QCoro::Task<> render(QuestionModel model, QString title, QString destination, Progress progress) = 0;
};
