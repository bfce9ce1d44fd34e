#include "groundmap/map_view.h"

namespace groundmap {

MapView mapView;

}  // namespace groundmap
