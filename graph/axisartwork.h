#pragma once

#include <QImage>

// The holder of the axis strip artwork: never shown, only a source of
// pictures for the strips beside and below the graph.
class AxisArtwork
{
public:
    AxisArtwork();

    QImage Img_CrossAxle2;    // 774 x 74: the date strip
    QImage Img_VerticalAxle2; // 50 x 209: the value strip, light
    QImage Img_VerticalAxle3; // 50 x 209: the value strip, dark
};
