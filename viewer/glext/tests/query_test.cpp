// The query and the start-up initialisation against a fake GL: the version
// comparison, both searches and the version list, without a context.
#include "viewer/glext/tests/loader_state.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// What the fake context answers.
struct fake_gl_t {
  const char* version = nullptr;
  const char* extensions = nullptr;
  std::vector<const char*> indexed;
  bool count_set = true;
  bool loader_sets_stringi = true;
  int loads = 0;
};
fake_gl_t fake;

const GLubyte* fake_get_string(GLenum name) {
  const char* text = name == GL_VERSION      ? fake.version
                     : name == GL_EXTENSIONS ? fake.extensions
                                             : nullptr;
  return reinterpret_cast<const GLubyte*>(text);
}

void fake_get_integerv(GLenum pname, GLint* data) {
  if (pname == GL_NUM_EXTENSIONS && fake.count_set) *data = static_cast<GLint>(fake.indexed.size());
}

const GLubyte* fake_get_stringi(GLenum name, GLuint index) {
  if (name != GL_EXTENSIONS || index >= fake.indexed.size()) return nullptr;
  return reinterpret_cast<const GLubyte*>(fake.indexed[index]);
}

void fake_load_version_3_0() {
  ++fake.loads;
  glGetStringi = fake.loader_sets_stringi ? fake_get_stringi : nullptr;
}

class Query : public ::testing::Test {
 protected:
  void SetUp() override {
    glexttest::reset_loader();
    fake = fake_gl_t();
    gl_extloader_calls = {fake_get_string, fake_get_integerv, fake_load_version_3_0};
  }
  void TearDown() override { glexttest::reset_loader(); }

  static std::vector<std::string> version_list() {
    std::vector<std::string> names;
    for (auto* node = extension_linkedlist; node != nullptr; node = node->next)
      names.push_back(node->name);
    return names;
  }
};

TEST(VersionComparison, ReadsNumbersInTurnAndTrailingTextAsZero) {
  struct row_t {
    const char* version;
    const char* row;
    int reached;
  };
  const row_t rows[] = {
      {"4.6 Mesa 22.3.6", "4.6.0", 1},
      {"4.6", "4.5.0", 1},
      {"4.6", "4.6.0", 0},
      {"4.5 (Compatibility Profile) Mesa", "4.5.0", 1},
      {"4.5 (Compatibility Profile) Mesa", "4.6.0", 0},
      {"1.4 (2.1 Mesa 7.0)", "1.4.0", 1},
      {"1.4 (2.1 Mesa 7.0)", "1.5.0", 0},
      {"3.0", "3.0.0", 0},
      {"3.0.0", "3.0.0", 1},
      {"3.0.1 vendor", "3.0.0", 1},
      {"2.1.2 NVIDIA 470", "3.0.0", 0},
      {"10.0", "4.6.0", 1},
      {"1.1", "1.2.0", 0},
      {"2.10", "2.9.0", 1},
      {"", "1.2.0", 0},
      {"garbage", "1.2.0", 0},
  };
  for (const row_t& r : rows) {
    EXPECT_EQ(gl_extloader_version_reaches(r.version, r.row), r.reached)
        << r.version << " against " << r.row;
  }
}

TEST_F(Query, StringSearchFindsOnlyWholeWords) {
  fake.version = "2.1 Fake";
  fake.extensions = "GL_EXT_abgr GL_ARB_shadow2 xGL_ARB_depth GL_EXT_bgra GL_NV_fence";
  EXPECT_EQ(isExtensionSupported("GL_EXT_abgr"), 1);    // at the start
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 1);    // in the middle
  EXPECT_EQ(isExtensionSupported("GL_NV_fence"), 1);    // at the end
  EXPECT_EQ(isExtensionSupported("GL_ARB_shadow"), 0);  // only as a beginning
  EXPECT_EQ(isExtensionSupported("GL_ARB_depth"), 0);   // only as an ending
  EXPECT_EQ(isExtensionSupported("EXT_abgr"), 0);
  EXPECT_EQ(isExtensionSupported("GL_EXT_abgr GL_EXT_bgra"), 0);
  EXPECT_EQ(isExtensionSupported(""), 0);
  EXPECT_EQ(isExtensionSupported(nullptr), 0);
  EXPECT_EQ(isExtensionSupported("GLX_ARB_create_context"), 0);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_2_1"), 1);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_3_0"), 0);
  EXPECT_EQ(fake.loads, 0);
  EXPECT_EQ(glGetStringi, nullptr);
}

TEST_F(Query, IndexedSearchMatchesWholeEntriesAndReloadsGl30EveryCall) {
  fake.version = "4.6 Fake";
  fake.indexed = {"GL_ARB_shadow2", nullptr, "GL_EXT_bgra"};
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 1);
  EXPECT_EQ(isExtensionSupported("GL_ARB_shadow"), 0);  // a prefix of an entry
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra GL_ARB_shadow2"), 0);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_4_6"), 1);
  EXPECT_EQ(fake.loads, 3);  // the name with a blank is refused before the search
  EXPECT_EQ(glGetStringi, fake_get_stringi);
}

TEST_F(Query, MissingAnswersCountAsNoExtensions) {
  fake.version = "2.1 Fake";
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 0);  // no extension string
  EXPECT_EQ(isExtensionSupported("GL_VERSION_2_1"), 1);

  fake.version = "4.5 Fake";
  fake.indexed = {"GL_EXT_bgra"};
  fake.count_set = false;
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 0);
  fake.count_set = true;
  fake.loader_sets_stringi = false;
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 0);

  // No context at all: only the list of the earlier context answers.
  fake.version = nullptr;
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 0);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_2_1"), 1);
}

TEST_F(Query, VersionListIsBuiltOnceHighestFirst) {
  fake.version = nullptr;
  EXPECT_EQ(isExtensionSupported("GL_VERSION_1_2"), 0);
  fake.version = "1.1 Fake";  // reaches no row: the set-up repeats
  EXPECT_EQ(isExtensionSupported("GL_VERSION_1_2"), 0);
  EXPECT_TRUE(version_list().empty());

  fake.version = "1.4 (2.1 Mesa 7.0)";
  EXPECT_EQ(isExtensionSupported("GL_VERSION_1_4"), 1);
  EXPECT_EQ(version_list(),
            (std::vector<std::string>{"GL_VERSION_1_4", "GL_VERSION_1_3", "GL_VERSION_1_2"}));

  fake.version = "4.6 Fake";  // a later context does not change the list
  EXPECT_EQ(isExtensionSupported("GL_VERSION_1_5"), 0);
  EXPECT_EQ(version_list().size(), 3u);
}

TEST_F(Query, ExactVersionThreeZeroTakesIndexedSearchWithoutReachingIt) {
  fake.version = "3.0";
  fake.indexed = {"GL_EXT_bgra"};
  EXPECT_EQ(isExtensionSupported("GL_VERSION_3_0"), 0);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_2_1"), 1);
  EXPECT_EQ(isExtensionSupported("GL_EXT_bgra"), 1);
  EXPECT_EQ(fake.loads, 3);

  glexttest::reset_loader();
  gl_extloader_calls = {fake_get_string, fake_get_integerv, fake_load_version_3_0};
  fake.version = "10.0 Fake";  // sorts below "3.0" as text: string search
  fake.extensions = "GL_EXT_abgr";
  fake.loads = 0;
  EXPECT_EQ(isExtensionSupported("GL_EXT_abgr"), 1);
  EXPECT_EQ(isExtensionSupported("GL_VERSION_4_6"), 1);
  EXPECT_EQ(fake.loads, 0);
}

std::set<std::string> flags_set() {
  std::set<std::string> names;
  for (std::size_t i = 0; i < gl_extloader_entry_count; ++i)
    if (*gl_extloader_entries[i].flag != 0) names.insert(gl_extloader_entries[i].name);
  return names;
}

TEST_F(Query, InitSetsFlagsOfNamesFoundAndRunsTheirLoaders) {
  fake.version = "2.1 Fake";
  fake.extensions =
      "GL_ARB_imaging GL_ARB_multitexture GL_EXT_bgra GL_ARB_fragment_program GL_EXT_texture3D";
  EXPECT_EQ(is_gl_extloader_inited, 0);
  gl_extloader_init();
  const std::set<std::string> expected = {"GL_ARB_fragment_program", "GL_EXT_bgra",
                                          "GL_EXT_texture3D",        "GL_VERSION_1_5",
                                          "GL_VERSION_2_0",          "GL_VERSION_2_1"};
  EXPECT_EQ(flags_set(), expected);
  EXPECT_EQ(is_gl_extloader_inited, 1);
  for (std::size_t i = 0; i < glexttest::pointer_entry_count; ++i) {
    const auto& entry = glexttest::pointer_entries[i];
    const bool owner_found = expected.count(entry.owner) != 0;
    EXPECT_EQ(glexttest::pointer_value(entry) != nullptr, owner_found) << entry.name;
  }
  const auto program_string = glProgramStringARB;
  gl_extloader_init();
  EXPECT_EQ(flags_set(), expected);
  EXPECT_EQ(glProgramStringARB, program_string);
}

}  // namespace
