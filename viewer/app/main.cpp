// plimzev3: the photo viewer.

#include <GLFW/glfw3.h>

#include <clocale>
#include <iostream>

#include "utility/futil.h"
#include "viewer/app/glfwymgr4.h"
#include "viewer/app/viewer3.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (!glfwInit()) {
    libutils::error();
    std::cerr << "glfwInit() failed." << std::endl;
    return 1;
  }
  glfwWindowHint(GLFW_DOUBLEBUFFER, 1);
  {
    plimzev2::ViewWindow window(&argc, &argv);
    // When the window cannot be made the loop finds none and returns.
    vorn::glfwyMGR4::ms_singleton->addWindow(&window, "plimzev3");
    vorn::glfwyMGR4::ms_singleton->MainLoop();
    // A window q left open: its GL objects go while the context exists.
    vorn::glfwyMGR4::ms_singleton->closeAll();
  }
  glfwTerminate();
  return 0;
}
