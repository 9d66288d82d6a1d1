#pragma once

#include <QColor>
#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>


// The state and the operations of the ink colour sheet. It edits the model's
// ink live: every wheel step, accepted hex edit and slider change is written
// to the model at once; the model saves after its debounce, and the sheet
// forces the save when it closes.
class InkSettingsController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)

    Q_PROPERTY(QString draftHex READ draftHex NOTIFY stateChanged)
    Q_PROPERTY(bool invalidHex READ invalidHex NOTIFY stateChanged)
    Q_PROPERTY(double hue READ hue WRITE setHue NOTIFY stateChanged)
    Q_PROPERTY(double saturation READ saturation WRITE setSaturation NOTIFY stateChanged)
    Q_PROPERTY(double baseBrightness READ baseBrightness NOTIFY stateChanged)
    Q_PROPERTY(double intensity READ intensity WRITE setIntensity NOTIFY stateChanged)
    Q_PROPERTY(bool hoveringDone READ hoveringDone WRITE setHoveringDone NOTIFY stateChanged)

    Q_PROPERTY(QString intensityPercentText READ intensityPercentText NOTIFY stateChanged)
    Q_PROPERTY(QString wheelAccessibilityValue READ wheelAccessibilityValue NOTIFY stateChanged)
    // The model's ink at opacity 1, independent of whether the palette is active.
    Q_PROPERTY(QColor modelInkColor READ modelInkColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor swatchColor READ swatchColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor previewOutlineColor READ previewOutlineColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor restoreDefaultColor READ restoreDefaultColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor liveDoneColor READ liveDoneColor NOTIFY colorsChanged)

public:
    explicit InkSettingsController(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    [[nodiscard]] QString draftHex() const { return m_draftHex; }
    [[nodiscard]] bool invalidHex() const { return m_invalidHex; }
    [[nodiscard]] double hue() const { return m_hue; }
    void setHue(double hue);
    [[nodiscard]] double saturation() const { return m_saturation; }
    void setSaturation(double saturation);
    [[nodiscard]] double baseBrightness() const { return m_baseBrightness; }
    [[nodiscard]] double intensity() const { return m_intensity; }
    void setIntensity(double intensity);
    [[nodiscard]] bool hoveringDone() const { return m_hoveringDone; }
    void setHoveringDone(bool hovering);

    [[nodiscard]] QString intensityPercentText() const;
    [[nodiscard]] QString wheelAccessibilityValue() const;
    [[nodiscard]] QColor modelInkColor() const;
    [[nodiscard]] QColor swatchColor() const;
    [[nodiscard]] QColor previewOutlineColor() const;
    [[nodiscard]] QColor restoreDefaultColor() const;
    [[nodiscard]] QColor liveDoneColor() const;

    // Each time the sheet is shown: re-read the model.
    Q_INVOKABLE void appear();
    // The field's setter: runs on every edit with the whole text.
    Q_INVOKABLE void handleHexInput(const QString &text);
    // After the wheel has written hue and saturation.
    Q_INVOKABLE void applyHueAndSaturation();
    // After the slider has written intensity.
    Q_INVOKABLE void applyIntensity();
    Q_INVOKABLE void restoreDefault();
    // "完成" and the close button: save now, then ask to be closed.
    Q_INVOKABLE void done();

Q_SIGNALS:
    void modelChanged();
    void stateChanged();
    void colorsChanged();
    void dismissRequested();

private Q_SLOTS:
    void modelInkChanged();

private:
    void synchronizeHSV(const QString &hex);
    [[nodiscard]] QString modelHex() const;
    [[nodiscard]] double modelIntensity() const;

    QPointer<AppModel> m_model;
    QString m_draftHex = QStringLiteral("#212636");
    bool m_invalidHex = false;
    double m_hue = 0.62;
    double m_saturation = 0.38;
    double m_baseBrightness = 0.21;
    double m_intensity = 1.0;
    bool m_hoveringDone = false;
};
