#pragma once
// What a settings dialog needs of the program while it is open: the meter's
// model, the way its question for the current wavelength reaches the meter,
// the meter's current wavelength as last reported, and word of a new one
// (the feed's WavelengthNamed). The meter service provides it; the dialogs know
// nothing else of the program, and return what the operator chose for the
// service to send.
#include <functional>
#include <string>

#include "device/MeterModel.h"

namespace settings {

class ISettingsLink {
 public:
  virtual ~ISettingsLink() = default;
  // The meter on the line: the commands a dialog asks it with.
  virtual const meter::Model& MeterModel() const = 0;
  // The text is queued to be written (the question for the
  // current wavelength).
  virtual void PostCommand(const std::string& text) = 0;
  // The meter's current-wavelength text (GBK bytes), empty before any answer.
  virtual const std::string& CurrentWavelength() const = 0;
  // Registers the open dialog to hear of each new current-wavelength text; an
  // empty function clears the registration.
  virtual void SetWavelengthListener(std::function<void()> listener) = 0;
};

}  // namespace settings
