// Small tables over GL enums. Need no GL context.
#pragma once

namespace libgr {

// Components of a GL pixel format; 0 for an unknown one.
unsigned int grFormatToComponents(unsigned int format);
// Bytes of one component of a GL pixel type (GL_BITMAP counts 1); 0 for
// packed and unknown types.
unsigned int grTypeToSize(unsigned int type);
// The unsigned or float type of a component size: 1, 2, 4, 8; else 0.
unsigned int grSizeToType(unsigned int size);
// 1, 2, 3, 6 to the texture targets; GL_INVALID_VALUE for anything else.
unsigned int grTextureDimToEnum(unsigned int dimension);
// The inverse on those four targets; 0 for anything else.
unsigned int grTextureEnumToDim(unsigned int target);

}  // namespace libgr
