// Scoped saves of a GL matrix and of the matrix mode. Need a current GL
// context.
#pragma once

#include <cstddef>
#include <vector>

#include "image/geometry.h"

namespace libgr {

// Switches the matrix mode for a scope when it differs; mode 0 does
// nothing.
class grMatrixModeKeeper {
 public:
  explicit grMatrixModeKeeper(unsigned int mode);
  grMatrixModeKeeper(const grMatrixModeKeeper&) = delete;
  grMatrixModeKeeper& operator=(const grMatrixModeKeeper&) = delete;
  ~grMatrixModeKeeper();

 private:
  unsigned int m_old_mode = 0;  // 0: nothing to restore
};

// Saves the matrix of one mode for a scope: on GL's stack, or, in the
// enhanced mode once GL's stack is full, on a stack of its own in memory.
// Pushers must end in the reverse order of their construction.
class grMatrixPusher {
 public:
  class grMatrixManager {
   public:
    grMatrixManager(unsigned int mode, unsigned int max_depth_query, unsigned int depth_query,
                    unsigned int matrix_query);
    // True while GL's stack has room (always when the max depth is 0).
    bool canPush() const;
    void readMaxDepth();
    void setMaxDepth(int depth) { m_max_depth = depth; }
    int maxDepth() const { return m_max_depth; }
    unsigned int mode() const { return m_mode; }
    // Saves the current matrix of the mode in memory / loads and drops the
    // last one saved.
    void pushOverflow();
    void popOverflow();
    size_t overflowSize() const { return m_overflow.size(); }

   private:
    unsigned int m_mode;
    unsigned int m_max_depth_query;
    unsigned int m_depth_query;
    unsigned int m_matrix_query;
    int m_max_depth = 0;  // 0: enhanced mode off
    std::vector<matrix3w_t> m_overflow;
  };

  // Mode 0 saves the matrix of the current mode.
  explicit grMatrixPusher(unsigned int mode);
  grMatrixPusher(const grMatrixPusher&) = delete;
  grMatrixPusher& operator=(const grMatrixPusher&) = delete;
  ~grMatrixPusher();

  // Mode 0 means the current mode; an unknown mode falls back to the
  // modelview manager after a line on standard output.
  static grMatrixManager* getMatrixManager(unsigned int mode);
  // On: each manager reads GL's maximum depth (needs a context). Off: all
  // maximum depths become 0.
  static void setEnhanceMode(bool on);
  static bool getEnhanceMode() { return g_enhance; }

  static grMatrixManager g_modelview_matrix;
  static grMatrixManager g_projection_matrix;
  static grMatrixManager g_texture_matrix;
  static grMatrixManager g_color_matrix;

 private:
  static bool g_enhance;
  grMatrixModeKeeper m_keeper;
  grMatrixManager* m_manager;
  bool m_gl_saved;
};

}  // namespace libgr
