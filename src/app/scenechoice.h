#pragma once

#include <QString>

// Which renderer draws the window. On a desktop without a graphics card, OpenGL is Mesa's
// software rasteriser, which keeps its own copies of every texture and a pool of drawing
// threads; Qt Quick's software renderer draws the same window in far less memory there.
class SceneChoice
{
public:
    // Chooses the software renderer on a Linux desktop with no graphics device to render on; a
    // renderer asked for in QT_QUICK_BACKEND wins. Call before the first window exists.
    static void apply();
    // Whether `devices` (normally /dev/dri) holds a render node of a graphics device.
    static bool hasRenderNode(const QString &devices);
};
