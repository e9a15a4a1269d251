// The operator's reading of a failure of the recording chain, the archive writer or a file: a short
// Russian cause first where the operator can act on it, the library's original text kept after it
// in parentheses so that nothing is hidden from whoever reads it later. The station composes what
// it shows as, for example, "Ошибка записи: " + OperatorText(failure):
//   "Ошибка записи: Микрофон недоступен (Input failed: DirectSound error 0x88780078)".
// The cause comes as data from the layer that saw the failure; the text is never searched for it.
// The Russian texts of the causes are in the station's catalogue of operator texts.
#pragma once

#include "platform/FailureCause.h"
#include "station/OperatorTexts.h"

#include <exception>
#include <string>
#include <string_view>

namespace station {

// "<cause> (<original>)": the Russian text of the cause the failing layer named, the layer's own
// text kept after it. Without a cause the operator can act on, a text in the layers' English is
// led by "Непредвиденная ошибка"; a text that is already Russian stays unchanged.
std::string OperatorText(std::string_view original, const platform::FailureCause& cause);
// The same for a raised failure, with the cause it carries.
std::string OperatorText(const std::exception& failure);

} // namespace station
