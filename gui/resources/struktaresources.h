#pragma once

// Registers the icons compiled into strukta_core. The resource object sits in a static library,
// so nothing would pull it into a program unless someone calls this; it is safe to call often.
void initStruktaResources();
