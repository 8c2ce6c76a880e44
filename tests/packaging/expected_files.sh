#!/usr/bin/env bash
# The installed layout under a prefix, one file a line: what the install rules, the .deb and the
# tarball hold (the .deb also has Debian's changelog, and the stripped binaries).
#   expected_files PREFIX
expected_files() {
    local p=$1 f
    echo "$p/bin/velor"
    echo "$p/bin/velor-capture"
    for f in data.xyz Vob_058f.s3m Alpha.fx PointAlpha.fx ShadowVolume.fx sbl.fx \
             textures/BLEND.PNG textures/Flare1.jpg textures/Texture1.dds textures/bark.jpg textures/bone.jpg \
             textures/cimen.jpg textures/details.tga textures/floor_tiles.jpg textures/leaves.jpg \
             textures/light.png textures/light1.png textures/particle.png textures/rock_b.dds \
             textures/rock_c_normalmap.dds textures/sky_east.jpg textures/sky_north.jpg textures/sky_south.jpg \
             textures/sky_top.jpg textures/sky_west.jpg textures/tunnel.png textures/wall_stone.jpg textures/zombi.png; do
        echo "$p/share/velor/$f"
    done
    echo "$p/share/applications/velor.desktop"
    echo "$p/share/icons/hicolor/128x128/apps/velor.png"
    echo "$p/share/man/man6/velor.6.gz"
    echo "$p/share/man/man1/velor-capture.1.gz"
    echo "$p/share/doc/velor/README.md"
    for f in LICENSE LICENSE.md LICENSE.txt COPYING; do
        [ -f "$(dirname "${BASH_SOURCE[0]}")/../../$f" ] && { echo "$p/share/doc/velor/$f"; break; }
    done
    return 0
}
