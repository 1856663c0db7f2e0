// SPDX-License-Identifier: MIT
#pragma once

namespace Monvert::Forms {

// The toolkit's own texts (a box's context menu) in the user's language, as
// far as Qt's translations are installed. Once the application object exists.
void loadToolkitTranslations();

} // namespace Monvert::Forms
