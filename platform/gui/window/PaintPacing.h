// Repaints paced to a frame rate, for every widget of the application.
#pragma once

class QObject;

// Installs the pacing on the application object (once).
void InstallPaintPacing(QObject* application);
