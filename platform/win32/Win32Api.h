#pragma once
// The Windows API as the backend includes it. The toolkit has a MessageBox of its
// own, so the API's macro of that name (for MessageBoxW) is dropped: the backend
// calls MessageBoxW by its own name.
#include <windows.h>
#undef MessageBox
