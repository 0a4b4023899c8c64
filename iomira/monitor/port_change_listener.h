#pragma once

namespace iomira {

class CQUORVISData;

// Who hears of a response that may have changed the port images: called on the UI thread
// before the images are updated, so the old images are still there to compare with. The first
// response after a connection only fills the images and is not passed on.
class PortChangeListener {
  public:
    virtual ~PortChangeListener() = default;
    virtual void DispatchInputChanges(CQUORVISData& controller) = 0;
    virtual void DispatchOutputChanges(CQUORVISData& controller) = 0;
};

} // namespace iomira
