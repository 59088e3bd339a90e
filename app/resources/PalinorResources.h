// The pictures and the icon built into the program, as Qt resources:
//   :/pictures/100.dib .. :/pictures/130.dib   counting pictures (bitmap resources without file header)
//   :/pictures/die1.bmp .. :/pictures/die4.bmp pocket button pictures
//   :/icons/palinor.ico, :/icons/palinor.png   application icon
#pragma once

/* Makes sure the resources above are registered; call it before the first lookup. Calling it again is
 * harmless. */
void palinor_init_resources();
