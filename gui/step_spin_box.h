#pragma once

#include <functional>

#include <QDoubleSpinBox>
#include <QSpinBox>

namespace tarnwick::gui {

// Spin boxes whose arrows do not change the shown number themselves but tell
// the dialog, which steps its stored value (+1 for the upper arrow) and
// shows that. Both arrows stay usable at the limits, as the step decides.
template <typename Base>
class StepSpinBox : public Base {
 public:
  using Base::Base;
  std::function<void(int)> onStep;

  void stepBy(int steps) override {
    if (onStep) onStep(steps);
  }

 protected:
  QAbstractSpinBox::StepEnabled stepEnabled() const override {
    return QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
  }
};

using LevelSpinBox = StepSpinBox<QSpinBox>;

// Shows its value as printf's "%g" would, so 0.65 + 0.05 reads "0.7".
class VolumeSpinBox : public StepSpinBox<QDoubleSpinBox> {
 public:
  using StepSpinBox::StepSpinBox;

 protected:
  QString textFromValue(double value) const override {
    return QString::number(value, 'g', 15);
  }
};

}  // namespace tarnwick::gui
