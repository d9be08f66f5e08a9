#include "controls/Registration.h"

#include "controls/MatButton1.h"
#include "controls/MatContainer1.h"
#include "forms/Layout.h"

void RegisterPictureMapControls() {
  ControlClasses().Register<MatContainer>("MatContainer");
  ControlClasses().Register<MatButton>("MatButton");
}
