#pragma once
// Makes the picture-map controls known to layouts by class name.
void RegisterPictureMapControls();
