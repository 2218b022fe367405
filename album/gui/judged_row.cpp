#include "album/gui/judged_row.h"

#include "album/gui/text.h"
#include "album/gui/widget_text.h"

namespace tavolin {

void judged_row_t::judge(const best_t& good_list, const best_t& fail_list, bool sensitive) {
  name_label.show_name(to_utf8(*name));
  name_label.set_selectable(true);
  subtle.join_group(good);
  fail.join_group(good);
  if (good_list.names.count(*name))
    good.set_active(true);
  else if (!fail_list.names.count(*name))
    subtle.set_active(true);
  else
    fail.set_active(true);
  Gtk::RadioButton* const judgements[] = {&good, &subtle, &fail};
  for (size_t k = 0; k < MSG_JUDGEMENTS.size(); ++k) {
    judgements[k]->set_sensitive(sensitive);
    set_button_text(*judgements[k], msg_utf8(MSG_JUDGEMENTS[k]));
    judgement_box.add(*judgements[k]);
  }
}

}  // namespace tavolin
