#!/usr/bin/env python3
"""Writes hedrix/core/VornTables.inc: the five built-in objects of hedrix as source
tables (counts, vertex rows, face list).

Each object is an Archimedean solid cut from a Platonic solid: the Platonic
faces shrunk by the object's lower bound about their centres give the type-3
faces, the corners at each Platonic vertex the type-2 face, the corners at
each Platonic edge a type-1 square. Face 0 is fixed by its rows below; the
rotation group generated from it gives every other face.

Numbering:
- type-3 faces by a breadth-first walk from face 0, each face's edges taken
  from its last edge backwards; a face reached over the edge a->b of its
  parent starts at its corner on b, moved on by `start_shift`;
- type-3 face k holds vertices k*n+1 .. k*n+n in its order;
- type-2 faces are listed from their corner in the lowest type-3 face and
  ordered by `type2_order` ('cycle': the type-3 faces in listing order,
  'set': the sorted type-3 faces);
- squares are ordered by their two type-3 faces and start at the later
  vertex of the lower face's edge, so that the second and fourth vertices
  lie in different type-3 faces (they meet when the twist reaches its limit).
The two per-object choices are what makes the face lists begin as the viewer's
documented samples do; the script checks those samples.

Usage: gen_vorn_tables.py [output path]; needs nothing but Python 3.
"""
import math
import os
import sys

S2 = math.sqrt(2.0)
S5 = math.sqrt(5.0)


def add(a, b): return tuple(x + y for x, y in zip(a, b))
def sub(a, b): return tuple(x - y for x, y in zip(a, b))
def mul(s, a): return tuple(s * x for x in a)
def dot(a, b): return sum(x * y for x, y in zip(a, b))
def cross(a, b): return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
def norm(a): return math.sqrt(dot(a, a))
def unit(a): return mul(1.0 / norm(a), a)
def mean(ps): return mul(1.0 / len(ps), tuple(map(sum, zip(*ps))))


def rotation(axis, angle):
    x, y, z = unit(axis)
    c, s = math.cos(angle), math.sin(angle)
    k = 1 - c
    return ((c + x * x * k, x * y * k - z * s, x * z * k + y * s),
            (y * x * k + z * s, c + y * y * k, y * z * k - x * s),
            (z * x * k - y * s, z * y * k + x * s, c + z * z * k))


def mat_mul(a, b):
    return tuple(tuple(sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)) for i in range(3))


def apply(a, v):
    return tuple(sum(a[i][k] * v[k] for k in range(3)) for i in range(3))


def closure(generators, order):
    identity = ((1.0, 0.0, 0.0), (0.0, 1.0, 0.0), (0.0, 0.0, 1.0))
    def key(m): return tuple(round(m[i][j], 9) for i in range(3) for j in range(3))
    seen = {key(identity): identity}
    frontier = [identity]
    while frontier:
        found = []
        for m in frontier:
            for g in generators:
                p = mat_mul(g, m)
                if key(p) not in seen:
                    seen[key(p)] = p
                    found.append(p)
                    if len(seen) > order:
                        sys.exit("rotation group does not close")
        frontier = found
    if len(seen) != order:
        sys.exit("rotation group has %d elements, not %d" % (len(seen), order))
    return list(seen.values())


def shrink(points, factor):
    c = mean(points)
    return [add(c, mul(factor, sub(p, c))) for p in points]


def face0_of_platonic(platonic, lb):
    return shrink(platonic, lb)


def polar_ring(radius, z, degrees):
    return [(radius * math.cos(math.radians(a)), radius * math.sin(math.radians(a)), z) for a in degrees]


# Face 0 as stored (12 significant digits) and the exact face it stands for.
def object_data(obj):
    if obj == 1:
        lb = 0.25
        r = 1.25 / math.sqrt(3.0)
        z = -math.sqrt(1.25 * 1.25 - r * r)
        exact = [(-0.625, -r / 2, z), (0.0, r, z), (0.625, -r / 2, z)]
        rows = [("-0.625", "-0.360843918243", "-1.02062072616"), ("0", "0.721687836487", "-1.02062072616"),
                ("0.625", "-0.360843918243", "-1.02062072616")]
        return dict(name="vornTet", lb=lb, m=3, order=12, exact=exact, rows=rows, edge=1.25, radius=1.25,
                    start_shift=0, type2_order="cycle")
    if obj == 2:
        lb = S2 - 1
        h = 1.1 * (S2 - 1)
        exact = [(-h, -h, -1.1), (-h, h, -1.1), (h, h, -1.1), (h, -h, -1.1)]
        hs = "0.45563491861"
        rows = [("-" + hs, "-" + hs, "-1.1"), ("-" + hs, hs, "-1.1"), (hs, hs, "-1.1"), (hs, "-" + hs, "-1.1")]
        return dict(name="vornHex", lb=lb, m=3, order=24, exact=exact, rows=rows, edge=0.911269837220,
                    radius=1.274835816140, start_shift=0, type2_order="cycle")
    if obj == 3:
        lb = S2 / (S2 + 3)
        exact = face0_of_platonic([(0.0, 0.0, -3 / S2), (1.5, -1.5, 0.0), (-1.5, -1.5, 0.0)], lb)
        rows = [("0", "-0.679622758983", "-1.16018862051"),
                ("0.480565861526", "-1.16018862051", "-0.480565861526"),
                ("-0.480565861526", "-1.16018862051", "-0.480565861526")]
        return dict(name="vornOct", lb=lb, m=4, order=24, exact=exact, rows=rows, edge=0.961131723053,
                    radius=1.344590915367, start_shift=0, type2_order="cycle")
    if obj == 4:
        lb = (5 - S5) / (3 * (3 * S5 - 5))
        rho = 0.88
        inradius = 2 * rho * math.sin(math.pi / 5) / 20 * math.sqrt(250 + 110 * S5)
        exact = face0_of_platonic(polar_ring(rho, -inradius, (18, -54, -126, 162, 90)), lb)
        rows = [("0.451393585452", "0.146666666667", "-1.15193495505"),
                ("0.278976578113", "-0.38397831835", "-1.15193495505"),
                ("-0.278976578113", "-0.38397831835", "-1.15193495505"),
                ("-0.451393585452", "0.146666666667", "-1.15193495505"),
                ("0", "0.474623303367", "-1.15193495505")]
        return dict(name="vornDod", lb=lb, m=3, order=60, exact=exact, rows=rows, edge=0.557953156227,
                    radius=1.245881784426, start_shift=1, type2_order="set")
    if obj == 5:
        lb = (S5 - 1) / (2 * (4 - S5))
        ring = polar_ring(1.232, -0.616, (162, 90))
        exact = face0_of_platonic([(0.0, 0.0, -0.616 * S5), ring[0], ring[1]], lb)
        rows = [("-0.253723041218", "0.34921980674", "-1.04765942022"),
                ("-0.664255545639", "0.48260990337", "-0.78087922696"),
                ("-0.253723041218", "0.78087922696", "-0.78087922696")]
        return dict(name="vornIco", lb=lb, m=5, order=60, exact=exact, rows=rows, edge=0.507446082437,
                    radius=1.133101988278, start_shift=0, type2_order="cycle")
    raise ValueError(obj)


def pkey(p): return tuple(round(x, 7) for x in p)


def build(obj):
    d = object_data(obj)
    lb, m = d["lb"], d["m"]
    table0 = d["exact"]
    n = len(table0)
    for p, row in zip(table0, d["rows"]):
        for x, text in zip(p, row):
            if abs(x - float(text)) > 1e-11:
                sys.exit("%s: face 0 row %s does not match %r" % (d["name"], row, p))
    platonic0 = shrink(table0, 1 / lb)
    group = closure([rotation(mean(platonic0), 2 * math.pi / n), rotation(platonic0[0], 2 * math.pi / m)],
                    d["order"])
    # Every Platonic face once, its corners as keys in boundary order.
    faces = {}
    for g in group:
        corners = [pkey(apply(g, w)) for w in platonic0]
        faces.setdefault(pkey(mean([apply(g, w) for w in platonic0])), corners)
    position = {}
    for g in group:
        for w in platonic0:
            position[pkey(apply(g, w))] = apply(g, w)

    # Breadth-first numbering of the type-3 faces.
    first = faces[pkey(mean(platonic0))]
    order = [first]
    taken = {pkey(mean(platonic0))}
    walk = 0
    while walk < len(order):
        parent = order[walk]
        walk += 1
        for j in range(n):
            i = (n - 1 - j) % n
            a, b = parent[i], parent[(i + 1) % n]
            for fk, corners in faces.items():
                if fk in taken or a not in corners or b not in corners:
                    continue
                s = (corners.index(b) + d["start_shift"]) % n
                order.append(corners[s:] + corners[:s])
                taken.add(fk)
    if len(order) != len(faces):
        sys.exit("%s: walk missed faces" % d["name"])

    # Vertex k*n+j (0-based) is corner j of type-3 face k, shrunk toward its centre.
    vertices = []
    corner = {}
    for k, corners in enumerate(order):
        shrunk = shrink([position[c] for c in corners], lb)
        for j, c in enumerate(corners):
            corner[(k, c)] = len(vertices)
            vertices.append(shrunk[j])

    type3 = [[corner[(k, c)] for c in corners] for k, corners in enumerate(order)]

    type2 = []
    for pv in sorted({c for corners in order for c in corners}):
        around = [k for k, corners in enumerate(order) if pv in corners]
        axis = unit(position[pv])
        ref = None
        keyed = []
        for k in around:
            v = vertices[corner[(k, pv)]]
            flat = sub(v, mul(dot(v, axis), axis))
            if ref is None:
                ref, ref2 = unit(flat), cross(axis, unit(flat))
            keyed.append((math.atan2(dot(flat, ref2), dot(flat, ref)) % (2 * math.pi), k))
        cycle = [k for _, k in sorted(keyed)]
        low = cycle.index(min(cycle))
        cycle = cycle[low:] + cycle[:low]
        sort_key = cycle if d["type2_order"] == "cycle" else sorted(cycle)
        type2.append((sort_key, [corner[(k, pv)] for k in cycle]))
    type2 = [f for _, f in sorted(type2)]

    squares = []
    for k1, c1 in enumerate(order):
        for i in range(n):
            a, b = c1[i], c1[(i + 1) % n]
            for k2 in range(k1 + 1, len(order)):
                if a in order[k2] and b in order[k2]:
                    squares.append(((k1, k2), [corner[(k1, b)], corner[(k1, a)], corner[(k2, a)], corner[(k2, b)]]))
    squares = [f for _, f in sorted(squares)]

    face_list = [(f, 3) for f in type3] + [(f, 2) for f in type2] + [(f, 1) for f in squares]
    return d, vertices, face_list


def fmt(x):
    if abs(x) < 1e-10:
        return "0"
    return "%.12g" % x


def check(d, rows, face_list):
    pts = [tuple(float(t) for t in row) for row in rows]
    name = d["name"]
    centre = mean(pts)
    if norm(centre) * len(pts) > 1e-11:
        sys.exit("%s: not centred" % name)
    for p in pts:
        if abs(norm(p) - d["radius"]) > 1e-11:
            sys.exit("%s: vertex off the circumradius" % name)
    for f, _ in face_list:
        ps = [pts[i] for i in f]
        if dot(cross(sub(ps[1], ps[0]), sub(ps[2], ps[0])), mean(ps)) <= 0:
            sys.exit("%s: face %s not counter-clockwise from outside" % (name, f))
        for j in range(len(f)):
            if abs(norm(sub(ps[(j + 1) % len(f)], ps[j])) - d["edge"]) > 1e-10:
                sys.exit("%s: face %s edge off the common length" % (name, f))


def samples(name, flat):
    def at(seq):
        return any(flat[i:i + len(seq)] == seq for i in range(len(flat)))
    if name == "vornTet":
        return flat[:5] == [3, 1, 2, 3, 3] and at([3, 1, 4, 11, 2]) and flat[-6:] == [4, 9, 8, 10, 12, 1]
    if name == "vornDod":
        return at([3, 5, 15, 6, 2])
    return True


def first_type2(flat):
    i = 0
    while flat[i + flat[i] + 1] != 2:
        i += flat[i] + 2
    return flat[i:i + flat[i] + 2]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                              "..", "hedrix", "core", "VornTables.inc")
    text = ["// Generated by tools/gen_vorn_tables.py; edit the generator, not this file.",
            "// Source-table layout: counts {nV, nF, 0}, rows {x, y, z, type}, per face n, n 1-based",
            "// vertex numbers and the face type.", ""]
    for obj in range(1, 6):
        d, vertices, face_list = build(obj)
        n0 = len(d["rows"])
        rows = list(d["rows"]) + [tuple(fmt(x) for x in p) for p in vertices[n0:]]
        check(d, rows, face_list)
        flat = []
        for f, t in face_list:
            flat += [len(f)] + [i + 1 for i in f] + [t]
        if not samples(d["name"], flat):
            sys.exit("%s: face list samples do not hold (first type-2 face %s)" % (d["name"], first_type2(flat)))
        name = d["name"]
        text.append("static const int %s_n[3] = {%d, %d, 0};" % (name, len(rows), len(face_list)))
        text.append("static const double %s_v[%d][4] = {" % (name, len(rows)))
        for r in rows:
            text.append("    {%16s, %16s, %16s, 0}," % r)
        text.append("};")
        text.append("static const int %s_f[%d] = {" % (name, len(flat)))
        for f, t in face_list:
            text.append("    %d, %s, %d," % (len(f), ", ".join("%2d" % (i + 1) for i in f), t))
        text.append("};")
        text.append("")
    with open(out, "w") as fh:
        fh.write("\n".join(text))


if __name__ == "__main__":
    main()
