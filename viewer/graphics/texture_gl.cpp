#include "viewer/graphics/texture_gl.h"

#include <functional>
#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/bindvar.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/pixelstore.h"

namespace libgr {

grTextureMgr::~grTextureMgr() {
  if (m_generated) glDeleteTextures(1, &m_name);
}

void grTextureMgr::Generate() {
  if (m_generated) return;
  glGenTextures(1, &m_name);
  m_generated = true;
}

unsigned int grTextureMgr::texname() const { return m_generated ? m_name : GL_INVALID_VALUE; }

unsigned int grTextureObject::texname() const {
  return m_texture ? m_texture->texname() : GL_INVALID_VALUE;
}

void grTextureObject::Preload(const grTexturableImageGL* image) {
  if (!m_texture && !m_texture.newobject()) {
    libutils::error();
    std::cerr << "grTextureObject::Preload(): out of memory." << std::endl;
    return;
  }
  m_target = image ? grTextureDimToEnum(image->Dimension()) : GL_INVALID_VALUE;
  m_texture->Generate();
  glBindTexture(m_target, texname());
  if (image) image->Load();
  m_preload = true;
  m_image = image;
}

unsigned int grTextureObject::Dimension() const { return grTextureEnumToDim(m_target); }

void grTextureObject::Load() const {
  if (!m_texture) return;
  grPrintError("grTextureObject::Load(0)");
  if (!is_GL_VERSION_3_0_supported) {
    glEnable(m_target);
    grPrintError("grTextureObject::Load(1)");
  }
  glBindTexture(m_target, texname());
  grPrintError("grTextureObject::Load(2)");
}

void grTextureObject::Unload() const {
  if (!m_texture) return;
  if (!is_GL_VERSION_3_0_supported) glDisable(m_target);
  glBindTexture(m_target, 0);
}

void grTextureObject::Reload() const {
  if (!m_preload) return;
  glBindTexture(m_target, texname());
  if (m_image) m_image->Reload();
}

bool grTextureObject::isResident() const {
  if (!m_texture) return false;
  GLuint name = texname();
  GLboolean answer = GL_FALSE;
  // When every texture asked about is resident GL says so in the result
  // and leaves answer untouched.
  if (glAreTexturesResident(1, &name, &answer) == GL_TRUE) return true;
  return answer == GL_TRUE;
}

void grTextureObject::clear() {
  if (!m_preload) return;
  m_texture.relobject();
  m_target = GL_INVALID_VALUE;
  m_preload = false;
}

void grTextureObject::BindImage(unsigned int unit, int level, unsigned int access) const {
  if (!m_texture || !glBindImageTexture) return;
  GLenum format = m_image ? m_image->GetInternalFormat() : GL_INVALID_VALUE;
  glBindImageTexture(unit, texname(), level, GL_FALSE, 0, access, format);
}

void grTextureObject::UnbindImage(unsigned int unit) const {
  if (!m_texture || !glBindImageTexture) return;
  glBindImageTexture(unit, 0, 0, GL_FALSE, 0, GL_READ_ONLY, GL_R8);
}

namespace {

// Asks one parameter of a texture level, through the bound target or the
// texture's name.
using level_query_t = std::function<void(GLenum pname, GLint* value)>;

// The image description and GL pixel type for a level's component type
// and size, or false (with the reason written) when no GL type delivers
// exactly that layout.
bool describe_level(const level_query_t& query, image2d_t& image, GLenum& pixel_type) {
  GLint value = 0;
  image.clear();
  query(GL_TEXTURE_WIDTH, &value);
  image.width = static_cast<uint32_t>(value > 0 ? value : 0);
  grPrintError("get texture level parameter (width)");
  value = 0;
  query(GL_TEXTURE_HEIGHT, &value);
  image.height = static_cast<uint32_t>(value > 0 ? value : 0);
  grPrintError("get texture level parameter (height)");

  GLint red_type = 0;
  query(GL_TEXTURE_RED_TYPE, &red_type);
  grPrintError("get texture level parameter (red_type)");
  e_image_type_t type;
  switch (red_type) {
    case GL_INT: type = IMAGE_TYPE_SINT; break;
    case GL_UNSIGNED_INT: type = IMAGE_TYPE_UINT; break;
    case GL_FLOAT:
    case GL_UNSIGNED_NORMALIZED:
    case GL_SIGNED_NORMALIZED: type = IMAGE_TYPE_FLOAT; break;
    default: return false;
  }
  GLint red_size = 0;
  query(GL_TEXTURE_RED_SIZE, &red_size);
  grPrintError("get texture level parameter (red_size)");
  bool is_signed = red_type == GL_INT || red_type == GL_SIGNED_NORMALIZED;
  // Per red size: the bits, and the pixel type of float, signed and other
  // components (0: none).
  static const struct {
    GLint size;
    e_image_bits_t bits;
    GLenum float_type, signed_type, other_type;
  } sizes[] = {{4, IMAGE_BITS_4, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0, GL_UNSIGNED_SHORT_4_4_4_4_REV},
               {8, IMAGE_BITS_8, GL_UNSIGNED_BYTE, GL_BYTE, GL_UNSIGNED_BYTE},
               {16, IMAGE_BITS_16, GL_HALF_FLOAT, GL_SHORT, GL_UNSIGNED_SHORT},
               {32, IMAGE_BITS_32, GL_FLOAT, GL_INT, GL_UNSIGNED_INT}};
  e_image_bits_t bits = IMAGE_BITS_MAX;
  pixel_type = 0;
  for (const auto& s : sizes) {
    if (s.size != red_size) continue;
    bits = s.bits;
    pixel_type = red_type == GL_FLOAT ? s.float_type : is_signed ? s.signed_type : s.other_type;
  }
  if (pixel_type == 0) {
    libutils::error();
    std::cerr << "red size is not recognized." << std::endl;
    return false;
  }
  image.desc = image_desc_t(IMAGE_FORMAT_RGBA, type, bits);
  image.compressed = false;
  if (!image.allocate()) {
    libutils::error();
    std::cerr << "grTextureObject::GetTextureImage() img allocate fail." << std::endl;
    return false;
  }
  // GL writes rows as the image lays them out.
  grPixelStorePack(image.store);
  grPixelStorePack(image.window);
  return true;
}

}  // namespace

bool grTextureObject::GetTexImage(unsigned int target, int level, image2d_t& image) const {
  GLenum pixel_type = 0;
  auto query = [&](GLenum pname, GLint* value) {
    glGetTexLevelParameteriv(target, level, pname, value);
  };
  if (!describe_level(query, image, pixel_type)) {
    return false;
  }
  glGetTexImage(target, level, GL_RGBA, pixel_type, image.pixels.begin());
  return true;
}

bool grTextureObject::GetTextureImage(int level, image2d_t& image) const {
  if (!glGetTextureLevelParameteriv || !glGetTextureImage) {
    libutils::error();
    std::cerr << "grTextureObject::GetTextureImage(): needs GL 4.5." << std::endl;
    return false;
  }
  GLenum pixel_type = 0;
  auto query = [&](GLenum pname, GLint* value) {
    glGetTextureLevelParameteriv(texname(), level, pname, value);
  };
  if (!describe_level(query, image, pixel_type)) {
    return false;
  }
  glGetTextureImage(texname(), level, GL_RGBA, pixel_type,
                    static_cast<GLsizei>(image.pixels.size()), image.pixels.begin());
  return true;
}

}  // namespace libgr
