#include "FmxUtils.h"

#include "Launcher.h"

int LaunchFile(Launcher& launcher, const QString& file, const QString& parameters, const QString& folder,
               int showMode)
{
    return launcher.launch(file, parameters, folder, showMode);
}
