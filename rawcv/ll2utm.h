#pragma once
// Geographic to UTM coordinates, transverse Mercator on the Clarke 1866 ellipsoid.

// lat, lon in degrees (north, east positive). cm: 999.0 chooses the zone's central
// meridian from lon and returns it; any other value is used unchanged. northing
// without false northing (negative south), easting with 500000 m false easting.
void ll2utm(float lat, float lon, float& cm, float& northing, float& easting);
