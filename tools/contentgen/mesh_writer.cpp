#include "tools/contentgen/mesh_writer.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace velor::content {

std::string FormatFloat(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", double(v));
    // A value that rounds to zero prints as "-0.000000" when negative; write it as plain zero.
    if (std::string(buf) == "-0.000000") return "0.000000";
    return buf;
}

namespace {

class XWriter {
public:
    std::string Finish() { return std::move(out_); }

    void Line(const std::string& text) {
        out_.append(size_t(indent_), ' ');
        out_ += text;
        out_ += '\n';
    }
    void Open(const std::string& header) {
        Line(header + " {");
        indent_ += 1;
    }
    void Close() {
        indent_ -= 1;
        Line("}");
    }

    void WriteMatrix(const Mat4& m) {
        Open("FrameTransformMatrix");
        for (int r = 0; r < 4; ++r) {
            std::string row;
            for (int c = 0; c < 4; ++c) {
                row += FormatFloat(m.m[r][c]);
                row += (r == 3 && c == 3) ? ";;" : ",";
            }
            Line(row);
        }
        Close();
    }

    void WriteMaterial(const Material& m) {
        Open("Material " + m.name);
        Line(FormatFloat(m.diffuse[0]) + ";" + FormatFloat(m.diffuse[1]) + ";" + FormatFloat(m.diffuse[2]) + ";" +
             FormatFloat(m.diffuse[3]) + ";;");
        Line(FormatFloat(m.power) + ";");
        Line(FormatFloat(m.specular[0]) + ";" + FormatFloat(m.specular[1]) + ";" + FormatFloat(m.specular[2]) + ";;");
        Line(FormatFloat(m.emissive[0]) + ";" + FormatFloat(m.emissive[1]) + ";" + FormatFloat(m.emissive[2]) + ";;");
        if (!m.texture.empty()) {
            Open("TextureFilename");
            Line("\"" + m.texture + "\";");
            Close();
        }
        Close();
    }

    void WriteFaceList(const Mesh& mesh) {
        Line(std::to_string(mesh.faces.size()) + ";");
        for (size_t i = 0; i < mesh.faces.size(); ++i) {
            const Face& f = mesh.faces[i];
            Line("3;" + std::to_string(f.a) + "," + std::to_string(f.b) + "," + std::to_string(f.c) +
                 (i + 1 == mesh.faces.size() ? ";;" : ";,"));
        }
    }

    void WriteMesh(const Mesh& mesh) {
        Open(mesh.name.empty() ? "Mesh" : "Mesh " + mesh.name);
        const size_t n = mesh.vertices.size();
        Line(std::to_string(n) + ";");
        for (size_t i = 0; i < n; ++i) {
            const Vec3& p = mesh.vertices[i].position;
            Line(FormatFloat(p.x) + ";" + FormatFloat(p.y) + ";" + FormatFloat(p.z) + (i + 1 == n ? ";;" : ";,"));
        }
        WriteFaceList(mesh);

        Open("MeshNormals");
        Line(std::to_string(n) + ";");
        for (size_t i = 0; i < n; ++i) {
            const Vec3& v = mesh.vertices[i].normal;
            Line(FormatFloat(v.x) + ";" + FormatFloat(v.y) + ";" + FormatFloat(v.z) + (i + 1 == n ? ";;" : ";,"));
        }
        WriteFaceList(mesh);
        Close();

        Open("MeshTextureCoords");
        Line(std::to_string(n) + ";");
        for (size_t i = 0; i < n; ++i) {
            const Vec2& t = mesh.vertices[i].uv;
            Line(FormatFloat(t.x) + ";" + FormatFloat(t.y) + (i + 1 == n ? ";;" : ";,"));
        }
        Close();

        Open("MeshMaterialList");
        Line(std::to_string(mesh.materials.size()) + ";");
        Line(std::to_string(mesh.faces.size()) + ";");
        for (size_t i = 0; i < mesh.faces.size(); ++i) {
            Line(std::to_string(mesh.faces[i].material) + (i + 1 == mesh.faces.size() ? ";;" : ","));
        }
        for (const Material& m : mesh.materials) WriteMaterial(m);
        Close();

        if (!mesh.skin.empty()) WriteSkin(mesh);
        Close();
    }

    void WriteSkin(const Mesh& mesh) {
        // The header's per-face figure counts the distinct bones that touch any corner of a face.
        std::vector<std::vector<uint16_t>> bonesOfVertex(mesh.vertices.size());
        for (size_t b = 0; b < mesh.skin.size(); ++b) {
            for (size_t k = 0; k < mesh.skin[b].vertices.size(); ++k) {
                if (mesh.skin[b].weights[k] > 0) bonesOfVertex[mesh.skin[b].vertices[k]].push_back(uint16_t(b));
            }
        }
        size_t perVertex = 0;
        for (const auto& v : bonesOfVertex) perVertex = std::max(perVertex, v.size());
        size_t perFace = 0;
        for (const Face& f : mesh.faces) {
            std::set<uint16_t> bones;
            for (uint32_t v : {f.a, f.b, f.c}) bones.insert(bonesOfVertex[v].begin(), bonesOfVertex[v].end());
            perFace = std::max(perFace, bones.size());
        }
        Open("XSkinMeshHeader");
        Line(std::to_string(perVertex) + ";");
        Line(std::to_string(perFace) + ";");
        Line(std::to_string(mesh.skin.size()) + ";");
        Close();

        for (const SkinWeights& s : mesh.skin) {
            Open("SkinWeights");
            Line("\"" + s.bone + "\";");
            const size_t count = s.vertices.size();
            Line(std::to_string(count) + ";");
            for (size_t i = 0; i < count; ++i) Line(std::to_string(s.vertices[i]) + (i + 1 == count ? ";" : ","));
            for (size_t i = 0; i < count; ++i) Line(FormatFloat(s.weights[i]) + (i + 1 == count ? ";" : ","));
            std::string row;
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 4; ++c) {
                    row += FormatFloat(s.offset.m[r][c]);
                    row += (r == 3 && c == 3) ? ";;" : ",";
                }
            }
            Line(row);
            Close();
        }
    }

    void WriteFrame(const Frame& f) {
        Open("Frame " + f.name);
        WriteMatrix(f.transform);
        for (const Mesh& m : f.meshes) WriteMesh(m);
        for (const Frame& c : f.children) WriteFrame(c);
        Close();
    }

    void WriteAnimationSet(const AnimationSet& set) {
        Open("AnimationSet " + set.name);
        for (const AnimationTrack& t : set.tracks) {
            Open("Animation Anim_" + t.frame);
            Line("{" + t.frame + "}");
            if (!t.rotations.empty()) {
                Open("AnimationKey");
                Line("0;");
                Line(std::to_string(t.rotations.size()) + ";");
                for (size_t i = 0; i < t.rotations.size(); ++i) {
                    const Quat& q = t.rotations[i].value;
                    Line(std::to_string(t.rotations[i].time) + ";4;" + FormatFloat(q.w) + "," + FormatFloat(q.x) + "," +
                         FormatFloat(q.y) + "," + FormatFloat(q.z) + (i + 1 == t.rotations.size() ? ";;;" : ";;,"));
                }
                Close();
            }
            WriteVectorKeys(1, t.scales);
            WriteVectorKeys(2, t.positions);
            Close();
        }
        Close();
    }

    void WriteVectorKeys(int type, const std::vector<VectorKey>& keys) {
        if (keys.empty()) return;
        Open("AnimationKey");
        Line(std::to_string(type) + ";");
        Line(std::to_string(keys.size()) + ";");
        for (size_t i = 0; i < keys.size(); ++i) {
            const Vec3& v = keys[i].value;
            Line(std::to_string(keys[i].time) + ";3;" + FormatFloat(v.x) + "," + FormatFloat(v.y) + "," +
                 FormatFloat(v.z) + (i + 1 == keys.size() ? ";;;" : ";;,"));
        }
        Close();
    }

private:
    std::string out_;
    int indent_ = 0;
};

}  // namespace

std::string WriteXFile(const XFile& file) {
    XWriter w;
    w.Line("xof 0303txt 0032");
    w.Line("");
    if (file.ticksPerSecond != 0) {
        w.Open("AnimTicksPerSecond");
        w.Line(std::to_string(file.ticksPerSecond) + ";");
        w.Close();
    }
    for (const Mesh& m : file.meshes) w.WriteMesh(m);
    for (const Frame& f : file.frames) w.WriteFrame(f);
    for (const AnimationSet& s : file.animationSets) w.WriteAnimationSet(s);
    return w.Finish();
}

}  // namespace velor::content
