#pragma once

namespace platform {

// The program-wide tooltip delay: how long, in milliseconds, the pointer must rest on a widget
// before its tooltip shows. Qt asks the widget's style for it (QStyle::SH_ToolTip_WakeUpDelay).
// The first change wraps the application's style in a proxy style that answers with the value
// set and passes every other question to the style it wraps; a later change of the application
// style drops the proxy, and the next change installs a new one. Both need a QApplication: without
// one the delay reads as 0 and cannot be changed.
int toolTipDelay();
// Negative values count as 0.
void setToolTipDelay(int ms);

} // namespace platform
