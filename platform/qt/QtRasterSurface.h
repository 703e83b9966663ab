#pragma once
// The raster surfaces over QImage: a RasterDeviceContext behind the
// toolkit-free RasterSurface interface. The drawing window paints image().

#include "platform/RasterSurface.h"
#include "platform/qt/RasterDeviceContext.h"

namespace zavora {

class QtRasterSurface : public RasterSurface {
public:
    QtRasterSurface(int32_t width, int32_t height);

    DeviceContext& dc() override { return m_dc; }
    int32_t width() const override { return m_dc.width(); }
    int32_t height() const override { return m_dc.height(); }
    void setAntialiasing(bool on) override { m_dc.setAntialiasing(on); }
    bool isValid() const { return m_dc.isValid(); }

    // The pixels drawn so far.
    const QImage& image() { return m_dc.image(); }
    RasterDeviceContext& rasterDc() { return m_dc; }

private:
    RasterDeviceContext m_dc;
};

class QtSurfaceFactory : public SurfaceFactory {
public:
    std::unique_ptr<RasterSurface> createSurface(int32_t width, int32_t height) override;
};

} // namespace zavora
