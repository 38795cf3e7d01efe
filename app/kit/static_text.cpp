#include "app/kit/static_text.h"

#include "app/kit/form.h"

TStaticText::TStaticText(TForm* parent) : TControl(parent, kit::CreateStaticTextPeer(parent->FormPeer())) {
  SetTabStop(false);
}
