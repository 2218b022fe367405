#include "viewer/app/viewframe.h"

#include <sys/stat.h>

#include <iostream>
#include <string>
#include <vector>

#include "image/imageutil.h"
#include "utility/futil.h"
#include "utility/option.h"
#include "utility/regular_ifstream.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/loader_bmp.h"
#include "viewer/graphics/matrix.h"

namespace plimlib {

const libgr::texparameter2d_t s_textureparameter =
    libgr::texparameter2d(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT, 1.0f);
const libgr::texparameter2d_t s_textureparameter_heightmap = libgr::texparameter2d(
    GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1.0f);
const libgr::color3a_t s_bordercolor(0.18f, 0.18f, 0.18f, 0.18f);

bool ViewFrame::s_inited = false;
libgr::grTexture2D ViewFrame::s_monotex;
libgr::grTexture2D ViewFrame::s_flowertex;
libgr::grTexture2D ViewFrame::s_hairlinetex;
libgr::grTextureObject ViewFrame::s_monotexobj;
libgr::grTextureObject ViewFrame::s_flowertexobj;
libgr::grTextureObject ViewFrame::s_hairlinetexobj;
std::uint32_t ViewFrame::s_vertex_program = 0;
std::uint32_t ViewFrame::s_fragment_program = 0;
bool ViewFrame::s_vertex_program_loaded = false;
bool ViewFrame::s_fragment_program_loaded = false;

namespace {

const char* const kShareDirectory = "/usr/site/share/plimlib/";

// The ring's texture square: its outer corners on the outer corners, its
// central half on the hole.
const GLfloat texcoords_frame[16] = {0, 0, 0.25f, 0.25f, 1, 0, 0.75f, 0.25f,
                                     1, 1, 0.75f, 0.75f, 0, 1, 0.25f, 0.75f};
// Bottom, right, top and left bands, counter-clockwise.
const GLubyte elements[10] = {1, 0, 3, 2, 5, 4, 7, 6, 1, 0};

// The three places a data file is looked for, in order.
std::vector<std::string> share_paths(const char* name, const char* directory) {
  std::vector<std::string> paths;
  paths.emplace_back(name);
  paths.emplace_back(std::string(directory ? directory : "") + name);
  paths.emplace_back(std::string(kShareDirectory) + name);
  return paths;
}

// The first path that opens as a regular file (a FIFO or device of that
// name is passed over), left open in is, or "" when none does; last is
// the last path tried.
std::string share_find(const char* name, const char* directory, libutils::regular_ifstream& is,
                       std::string* last) {
  for (const std::string& path : share_paths(name, directory)) {
    if (last) *last = path;
    if (is.open(path)) return path;
  }
  return std::string();
}

// A BMP from the data-file search into image (silent when none loads).
bool load_bmp(libgr::bmpimage_t& bmp, libgr::image2d_t& image, const char* name,
              const char* directory) {
  libutils::regular_ifstream found;
  const std::string path = share_find(name, directory, found, nullptr);
  if (path.empty() || !bmp.load(found, path.c_str())) return false;
  return libgr::convert(image, bmp);
}

// Row r of the column-major matrix.
void set_rows(GLenum target, GLuint first, const libgr::matrix3w_t& m) {
  for (GLuint r = 0; r < 4; ++r) {
    glProgramLocalParameter4fARB(target, first + r, m.m[r], m.m[4 + r], m.m[8 + r], m.m[12 + r]);
  }
}

void set_color(GLenum face, GLenum pname, const libgr::color3a_t& c) {
  const GLfloat v[4] = {c.r, c.g, c.b, c.a};
  glMaterialfv(face, pname, v);
}

}  // namespace

bool load_program(unsigned int target, const char* name, const char* directory) {
  std::string last;
  // Read from the stream the search opened: the file is opened once.
  libutils::regular_ifstream is;
  const std::string path = share_find(name, directory, is, &last);
  if (path.empty()) {
    libutils::error();
    std::cerr << last << ": read error." << std::endl;
    return false;
  }
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || st.st_size < 0) {
    libutils::error();
    std::cerr << path << ": read error." << std::endl;
    return false;
  }
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  std::vector<char> text(size + 1, '\0');
  is.read(text.data(), static_cast<std::streamsize>(size));
  if (static_cast<std::size_t>(is.gcount()) != size) {
    libutils::error();
    std::cerr << path << ": read error." << std::endl;
    return false;
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  glProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(size), text.data());
  if (glGetError() != GL_NO_ERROR) {
    GLint position = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    const GLubyte* message = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
    libutils::error();
    std::cerr << name << ": " << position << ": "
              << (message ? reinterpret_cast<const char*>(message) : "") << std::endl;
    return false;
  }
  return true;
}

bool load_image_rgb(libgr::grTexture2D& texture, const char* name, const char* directory) {
  libgr::bmpimage_t bmp;
  libgr::image2d_t image;
  if (!load_bmp(bmp, image, name, directory)) return false;
  if (!is_GL_EXT_bgra_supported && !libgr::bgr2rgb(image, image)) return false;
  texture.setImage(image, 0, 0);
  texture.setBuildMipmap(true);
  texture.setInternalCompression(false);
  texture.setBorder(false);
  texture.setTextureParameter(&s_textureparameter);
  texture.setBorderColor(&s_bordercolor);
  return true;
}

bool load_image_heightmap(libgr::grTexture2D& texture, const char* name, float scale,
                          const char* directory) {
  libgr::bmpimage_t bmp;
  libgr::image2d_t image;
  if (!load_bmp(bmp, image, name, directory)) return false;
  libgr::image2d_t normalmap;
  libgr::heightmap2normalmap(normalmap, image, scale);
  texture.setImage(normalmap, 0, 0);
  texture.setBuildMipmap(true);
  texture.setInternalCompression(false);
  texture.setBorder(false);
  texture.setTextureParameter(&s_textureparameter_heightmap);
  return true;
}

ViewFrame::~ViewFrame() = default;

void ViewFrame::setFrameType(e_frametype_t type) {
  if (type != m_frametype && g_option.debug) {
    std::cout << "frametype: " << type << std::endl;
  }
  m_frametype = type;
}

void ViewFrame::setSize(libgr::direction2_t size, unsigned int width) {
  m_size = size;
  m_width = static_cast<float>(width);
}

void ViewFrame::init(const char* directory) {
  if (s_inited) return;
  load_image_rgb(s_monotex, "hairline.bmp", directory);
  load_image_rgb(s_flowertex, "flower.bmp", directory);
  load_image_heightmap(s_hairlinetex, "hairline.bmp", 100.0f, directory);
  s_inited = true;
}

void ViewFrame::destroy() {
  if (!s_inited) return;
  s_monotex.clear();
  s_flowertex.clear();
  s_hairlinetex.clear();
  s_monotexobj.clear();
  s_flowertexobj.clear();
  s_hairlinetexobj.clear();
  s_inited = false;
}

bool ViewFrame::use_programs() {
  return is_GL_ARB_fragment_program_supported && s_fragment_program_loaded &&
         is_GL_ARB_vertex_program_supported && s_vertex_program_loaded;
}

void ViewFrame::make_graph(const char* directory) {
  switch (m_frametype) {
    case 2:
    case 3:
      if (is_GL_ARB_fragment_program_supported && is_GL_ARB_vertex_program_supported) {
        s_hairlinetexobj.Preload(&s_hairlinetex);
        glGenProgramsARB(1, &s_vertex_program);
        glBindProgramARB(GL_VERTEX_PROGRAM_ARB, s_vertex_program);
        s_vertex_program_loaded = load_program(GL_VERTEX_PROGRAM_ARB, "bumpmapv.vp1", directory);
        glGenProgramsARB(1, &s_fragment_program);
        glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, s_fragment_program);
        s_fragment_program_loaded =
            load_program(GL_FRAGMENT_PROGRAM_ARB, "bumpmapf.fp1", directory);
        glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
        if (s_vertex_program_loaded && s_fragment_program_loaded) return;
      }
      s_monotexobj.Preload(&s_monotex);
      return;
    case 4: s_flowertexobj.Preload(&s_flowertex); return;
    default: return;
  }
}

void ViewFrame::free_graph() {
  switch (m_frametype) {
    case 2:
    case 3:
      if (is_GL_ARB_fragment_program_supported && is_GL_ARB_vertex_program_supported) {
        s_hairlinetexobj.Unload();
        if (s_vertex_program_loaded) glDeleteProgramsARB(1, &s_vertex_program);
        if (s_fragment_program_loaded) glDeleteProgramsARB(1, &s_fragment_program);
      }
      s_monotexobj.Unload();
      return;
    case 4: s_flowertexobj.Unload(); return;
    default: return;
  }
}

void ViewFrame::Draw() const {
  if (m_frametype == 0) return;
  const float hx = m_size.x / 2;
  const float hy = m_size.y / 2;
  const float X = hx + m_width;
  const float Y = hy + m_width;
  const GLfloat vertices[16] = {-X, -Y, -hx, -hy, X, -Y, hx, -hy, X, Y, hx, hy, -X, Y, -hx, hy};

  const bool bump = m_frametype == 2 || m_frametype == 3;
  const bool programs = bump && use_programs();
  bool rescale = false;
  if (m_frametype == 1) {
    const option_rgba_t& fc = g_option.framecolor;
    const GLubyte c[4] = {fc.r, fc.g, fc.b, fc.a};
    glColor4ubv(c);
  } else if (bump) {
    libgr::color3a_t c = libgr::brown;
    if (m_frametype == 3) {
      const option_rgba_t& fc = g_option.framecolor;
      c = libgr::color3a_t(fc.r / 255.0f * 0.75f, fc.g / 255.0f * 0.75f, fc.b / 255.0f * 0.75f,
                           fc.a / 255.0f * 0.75f);
    }
    const GLfloat cv[4] = {c.r, c.g, c.b, c.a};
    glColor4fv(cv);
    if (programs) {
      libgr::matrix3w_t mv, p;
      glGetFloatv(GL_MODELVIEW_MATRIX, mv.m);
      glGetFloatv(GL_PROJECTION_MATRIX, p.m);
      glBindProgramARB(GL_VERTEX_PROGRAM_ARB, s_vertex_program);
      GLfloat light[4] = {0, 0, 0, 1};
      glGetLightfv(GL_LIGHT0, GL_POSITION, light);
      const libgr::position3_t point =
          libgr::SpecializeToPos(libgr::vector3w_t(light[0], light[1], light[2], light[3]));
      if (g_option.debug) std::cout << point << std::endl;
      glProgramLocalParameter4fARB(GL_VERTEX_PROGRAM_ARB, 0, point.x, point.y, point.z, 1);
      set_rows(GL_VERTEX_PROGRAM_ARB, 1, mv);
      if (g_option.debug) std::cout << mv << std::endl;
      set_rows(GL_VERTEX_PROGRAM_ARB, 5, libgr::Invert(mv));
      set_rows(GL_VERTEX_PROGRAM_ARB, 9, p);
      glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, s_fragment_program);
      glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 0, 10, 0, 0, 0);
      glProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 1, 0, 0, 0, 0);
      glEnable(GL_VERTEX_PROGRAM_ARB);
      glEnable(GL_FRAGMENT_PROGRAM_ARB);
      glActiveTexture(GL_TEXTURE0);
      glEnable(GL_TEXTURE_2D);
      s_hairlinetexobj.Load();
    } else {
      glEnable(GL_TEXTURE_2D);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      glEnable(GL_LIGHTING);
      set_color(GL_FRONT, GL_AMBIENT, c);
      set_color(GL_FRONT, GL_DIFFUSE, c);
      set_color(GL_FRONT, GL_EMISSION, libgr::black);
      set_color(GL_FRONT, GL_SPECULAR, libgr::white);
      glMaterialf(GL_FRONT, GL_SHININESS, 100);
      s_monotexobj.Load();
    }
    glEnable(GL_NORMALIZE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords_frame);
    glNormal3f(0, 0, 1);
    // A constant tangent along x for the programs.
    glMultiTexCoord3f(GL_TEXTURE1, 1, 0, 0);
  } else if (m_frametype == 4) {
    const GLfloat w[4] = {1, 1, 1, 1};
    glColor4fv(w);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    rescale = is_GL_EXT_rescale_normal_supported != 0;
    glEnable(rescale ? GL_RESCALE_NORMAL_EXT : GL_NORMALIZE);
    glEnable(GL_TEXTURE_2D);
    s_flowertexobj.Load();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords_frame);
    glNormal3f(0, 0, 1);
  }

  libgr::grPrintError("ViewFrame::Draw() - before vertex array.");
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, vertices);
  glDrawElements(GL_QUAD_STRIP, 10, GL_UNSIGNED_BYTE, elements);
  glDisableClientState(GL_VERTEX_ARRAY);
  libgr::grPrintError("ViewFrame::Draw() - after vertex array.");

  if (bump) {
    if (programs) {
      glBindProgramARB(GL_VERTEX_PROGRAM_ARB, 0);
      glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
      glDisable(GL_VERTEX_PROGRAM_ARB);
      glDisable(GL_FRAGMENT_PROGRAM_ARB);
      glDisable(GL_TEXTURE_2D);
    } else {
      glDisable(GL_TEXTURE_2D);
      glDisable(GL_LIGHTING);
    }
    glDisable(GL_NORMALIZE);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  } else if (m_frametype == 4) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(rescale ? GL_RESCALE_NORMAL_EXT : GL_NORMALIZE);
  }
}

}  // namespace plimlib
