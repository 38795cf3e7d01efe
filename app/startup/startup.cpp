#include "app/startup/startup.h"

#include "app/form1.h"
#include "app/kit/backend.h"

namespace app {

void PrepareApplication(kit::Application& application) {
  // Before the first window: the system takes the program's name from it
  // when the first window is created.
  application.SetTitle(kApplicationTitle);
  PreparePlatform(application);
}

std::unique_ptr<TForm1> CreateMainWindow() { return std::make_unique<TForm1>(); }

}  // namespace app
