// Taspo's Windows entry point. On other systems our platform layer's main calls it.
#include "projects/taspo/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return RunTaspo(instance, showCommand);
}
