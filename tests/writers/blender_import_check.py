# Imports the .glb, .obj and .ply given after "--" into Blender, each into an empty scene, and
# prints one line per file: "LOBEWRIGHT <json>" with the meshes, materials and vertex colours
# Blender ended up with, and the materials whose base colour is the vertex colours. Run as:
#   blender -b --factory-startup --python-exit-code 1
#   --python blender_import_check.py -- FILE.glb FILE.obj FILE.ply
import json
import os
import sys

import bpy
import numpy

# Blender 3.4's glTF importer still uses the alias numpy.bool, which numpy 1.24 removed
# (KhronosGroup/glTF-Blender-IO#1844).
numpy.bool = bool

IMPORTERS = {
    "glb": lambda path: bpy.ops.import_scene.gltf(filepath=path),
    "obj": lambda path: bpy.ops.wm.obj_import(filepath=path),
    "ply": lambda path: bpy.ops.import_mesh.ply(filepath=path),
}


def colour_summary(mesh):
    """The distinct 8-bit colours of the mesh's first colour attribute, if it has one."""
    attributes = getattr(mesh, "color_attributes", None) or mesh.vertex_colors
    if len(attributes) == 0:
        return None
    attribute = attributes[0]
    values = numpy.zeros(len(attribute.data) * 4, dtype=numpy.float32)
    attribute.data.foreach_get("color_srgb", values)
    rgb = numpy.round(values.reshape(-1, 4)[:, :3] * 255).astype(int)
    return {"name": attribute.name, "colours": sorted({tuple(c) for c in rgb.tolist()})}


def base_colour(material):
    """The Principled BSDF's base colour in linear light, as the importer set it."""
    if not material.use_nodes:
        return [round(c, 4) for c in material.diffuse_color[:3]]
    for node in material.node_tree.nodes:
        if node.type == "BSDF_PRINCIPLED":
            return [round(c, 4) for c in node.inputs["Base Color"].default_value[:3]]
    return None


def shows_vertex_colours(material):
    """Whether the base colour comes from a colour attribute, through any nodes between."""
    if not material.use_nodes:
        return False
    for node in material.node_tree.nodes:
        if node.type != "BSDF_PRINCIPLED":
            continue
        pending = [link.from_node for link in node.inputs["Base Color"].links]
        while pending:
            upstream = pending.pop()
            if upstream.type in ("VERTEX_COLOR", "ATTRIBUTE"):
                return True
            pending += [link.from_node for socket in upstream.inputs for link in socket.links]
    return False


def describe(kind, path):
    bpy.ops.wm.read_factory_settings(use_empty=True)
    result = IMPORTERS[kind](path)
    meshes = [o for o in bpy.context.scene.objects if o.type == "MESH"]
    return {
        "file": os.path.basename(path),
        "format": kind,
        "result": sorted(result),
        "objects": sorted(o.name for o in meshes),
        "materials": {s.material.name: base_colour(s.material) for o in meshes
                      for s in o.material_slots if s.material},
        "vertex_colour_materials": sorted({s.material.name for o in meshes
                                           for s in o.material_slots
                                           if s.material and shows_vertex_colours(s.material)}),
        "faces": sum(len(o.data.polygons) for o in meshes),
        "colours": [colour_summary(o.data) for o in meshes],
    }


paths = sys.argv[sys.argv.index("--") + 1:]
for path in paths:
    print("LOBEWRIGHT " + json.dumps(describe(path.rsplit(".", 1)[-1], path)), flush=True)
