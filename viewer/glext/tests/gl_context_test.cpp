// The loader on a real context: Mesa under the test display, in a hidden
// GLFW window. The context is made only when a test runs, never while the
// tests are listed.
#include "viewer/glext/tests/loader_state.h"

#include <GLFW/glfw3.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

GLFWwindow* window = nullptr;

// Counts which of the query's GL calls were made, passing each on.
struct counts_t {
  int extension_strings = 0;
  int extension_counts = 0;
  int loads = 0;
};
counts_t counts;

const GLubyte* counting_get_string(GLenum name) {
  counts.extension_strings += name == GL_EXTENSIONS;
  return glGetString(name);
}

void counting_get_integerv(GLenum pname, GLint* data) {
  counts.extension_counts += pname == GL_NUM_EXTENSIONS;
  glGetIntegerv(pname, data);
}

void counting_load() {
  ++counts.loads;
  init_GL_VERSION_3_0();
}

class GlContext : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (glfwInit() != GLFW_TRUE) return;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(64, 64, "glext test", nullptr, nullptr);
    if (window != nullptr) glfwMakeContextCurrent(window);
  }
  static void TearDownTestSuite() {
    if (window != nullptr) glfwDestroyWindow(window);
    window = nullptr;
    glfwTerminate();
  }
  void SetUp() override {
    if (window == nullptr) {
      if (std::getenv("CI") != nullptr) FAIL() << "no GL context under CI";
      GTEST_SKIP() << "no display for a GL context";
    }
    glexttest::reset_loader();
    counts = counts_t();
    gl_extloader_calls = {counting_get_string, counting_get_integerv, counting_load};
  }
  void TearDown() override { glexttest::reset_loader(); }

  // The flags that must be set: the context's own extension string (an
  // independent path from the loader's indexed search) and the versions
  // its major and minor number reach.
  static std::set<std::string> expected_flags() {
    std::set<std::string> listed;
    std::istringstream words(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    for (std::string word; words >> word;) listed.insert(word);
    int major = 0, minor = 0;
    std::sscanf(reinterpret_cast<const char*>(glGetString(GL_VERSION)), "%d.%d", &major, &minor);
    std::set<std::string> expected;
    for (std::size_t i = 0; i < gl_extloader_entry_count; ++i) {
      const std::string name = gl_extloader_entries[i].name;
      int x = 0, y = 0;
      if (std::sscanf(name.c_str(), "GL_VERSION_%d_%d", &x, &y) == 2) {
        if (major > x || (major == x && minor >= y)) expected.insert(name);
      } else if (listed.count(name) != 0 && name != "GL_ARB_imaging" &&
                 name != "GL_ARB_multitexture") {
        expected.insert(name);
      }
    }
    return expected;
  }

  static std::set<std::string> flags_set() {
    std::set<std::string> names;
    for (std::size_t i = 0; i < gl_extloader_entry_count; ++i)
      if (*gl_extloader_entries[i].flag != 0) names.insert(gl_extloader_entries[i].name);
    return names;
  }

  // Every pointer of a name found holds the address GLX gives; the others are null.
  static void expect_pointers_of(const std::set<std::string>& found) {
    int set = 0;
    for (std::size_t i = 0; i < glexttest::pointer_entry_count; ++i) {
      const auto& entry = glexttest::pointer_entries[i];
      const gl_extloader_proc_t value = glexttest::pointer_value(entry);
      if (found.count(entry.owner) != 0) {
        EXPECT_NE(value, nullptr) << entry.name;
        EXPECT_EQ(value, __gl_GetProcAddress(entry.name)) << entry.name;
        ++set;
      } else {
        EXPECT_EQ(value, nullptr) << entry.name << " of " << entry.owner;
      }
    }
    EXPECT_GT(set, 0);
  }
};

TEST_F(GlContext, CompatibilityContextSetsListedExtensionsAndVersionsReached) {
  const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_EQ(version.rfind("4.5 ", 0), 0u) << version;
  gl_extloader_init();
  const std::set<std::string> found = flags_set();
  EXPECT_EQ(found, expected_flags());
  for (const char* name : {"GL_VERSION_1_5", "GL_VERSION_3_0", "GL_VERSION_4_5",
                           "GL_ARB_vertex_program", "GL_ARB_fragment_program",
                           "GL_EXT_texture_filter_anisotropic", "GL_ARB_texture_compression"}) {
    EXPECT_EQ(*glexttest::flag_of(name), 1) << name;
  }
  EXPECT_EQ(is_GL_VERSION_4_6_supported, 0);
  EXPECT_EQ(is_GL_ARB_imaging_supported, 0);
  EXPECT_EQ(is_GL_ARB_multitexture_supported, 0);
  for (std::size_t i = 0; i < gl_extloader_entry_count; ++i) {
    if (std::string(gl_extloader_entries[i].name).rfind("GLX_", 0) == 0) {
      EXPECT_EQ(*gl_extloader_entries[i].flag, 0) << gl_extloader_entries[i].name;
    }
  }
  expect_pointers_of(found);
  EXPECT_EQ(counts.loads, 693);  // the indexed search, on every query
  EXPECT_EQ(counts.extension_strings, 0);
  EXPECT_EQ(is_gl_extloader_inited, 1);
}

TEST_F(GlContext, VersionOverrideTwoOneTakesStringSearch) {
  const char* override = std::getenv("MESA_GL_VERSION_OVERRIDE");
  if (override == nullptr || std::string(override) != "2.1") {
    // Mesa reads the override when it makes the context: run this test
    // again in a process of its own.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
      const std::string filter = "--gtest_filter=GlContext.VersionOverrideTwoOneTakesStringSearch";
      execl("/proc/self/exe", "glext_tests", filter.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return;
  }
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION))).rfind("2.1", 0),
            0u);
  gl_extloader_init();
  const std::set<std::string> found = flags_set();
  EXPECT_EQ(found, expected_flags());
  for (const char* name : {"GL_VERSION_1_5", "GL_VERSION_2_0", "GL_VERSION_2_1"})
    EXPECT_EQ(found.count(name), 1u) << name;
  EXPECT_EQ(found.count("GL_VERSION_3_0"), 0u);
  expect_pointers_of(found);
  EXPECT_EQ(glGenerateMipmap, nullptr);
  EXPECT_EQ(glGetStringi, nullptr);
  EXPECT_EQ(counts.loads, 0);
  EXPECT_EQ(counts.extension_counts, 0);
  EXPECT_EQ(counts.extension_strings, 693);
}

TEST_F(GlContext, PointersStayPrivateAndDrawingWorks) {
  gl_extloader_init();
  // The program's names never stand in for libGL's functions.
  void* exported = dlsym(RTLD_DEFAULT, "glGenerateMipmap");
  EXPECT_NE(exported, nullptr);
  EXPECT_NE(exported, static_cast<void*>(&glGenerateMipmap));
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "is_GL_VERSION_3_0_supported"), nullptr);
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "isExtensionSupported"), nullptr);

  // Mipmaps through a GL 3.0 pointer: a red 4x4 texture has a red 2x2 level.
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  std::vector<unsigned char> red(4 * 4 * 4, 0);
  for (std::size_t i = 0; i < red.size(); i += 4) red[i] = red[i + 3] = 255;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, red.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  unsigned char level1[2 * 2 * 4] = {};
  glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1);
  EXPECT_EQ(level1[0], 255);
  EXPECT_EQ(level1[1], 0);
  glDeleteTextures(1, &texture);

  // A quad drawn by an ARB fragment program into a framebuffer object.
  GLuint framebuffer = 0, renderbuffer = 0, program = 0;
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glGenRenderbuffers(1, &renderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 8, 8);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
  ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  glViewport(0, 0, 8, 8);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const std::string text = "!!ARBfp1.0\nPARAM c = program.local[0];\nMOV result.color, c;\nEND\n";
  glGenProgramsARB(1, &program);
  glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, program);
  glProgramStringARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                     static_cast<GLsizei>(text.size()), text.data());
  glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 0, 0.0f, 1.0f, 0.0f, 1.0f);
  glEnable(GL_FRAGMENT_PROGRAM_ARB);
  glBegin(GL_QUADS);
  glVertex2f(-1, -1);
  glVertex2f(1, -1);
  glVertex2f(1, 1);
  glVertex2f(-1, 1);
  glEnd();
  glDisable(GL_FRAGMENT_PROGRAM_ARB);
  unsigned char pixel[4] = {};
  glReadPixels(4, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);
  EXPECT_EQ(pixel[2], 0);
  glDeleteProgramsARB(1, &program);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteRenderbuffers(1, &renderbuffer);
  glDeleteFramebuffers(1, &framebuffer);
}

}  // namespace
