// The JPEG quality question of the scan save: a slider and a number field kept in step,
// both remembered between runs of the program.
#pragma once

#include <QDialog>

class QSlider;
class QSpinBox;

namespace bb {

class SettingsStore;

class JpegQualityDialog : public QDialog {
    Q_OBJECT
public:
    // Reads its values from `store` and writes them back there; the store outlives the dialog.
    explicit JpegQualityDialog(SettingsStore& store, QWidget* parent = nullptr);
    ~JpegQualityDialog() override;

    // The quality chosen: the slider's value.
    int quality() const;
    void setQuality(int quality);

    QSlider* qualitySlider = nullptr;
    QSpinBox* qualityNumber = nullptr;

    // Settings keys of the stored values.
    static const char* const kSliderKey;
    static const char* const kNumberKey;
    static const char* const kStateKey;

public slots:
    void sliderChanged(int value);
    void numberChanged(int value);
    // Writes both values and the window state to the settings store.
    void saveSettings() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    SettingsStore& store_;
};

}  // namespace bb
