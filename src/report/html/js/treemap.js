// A memory's tree drawn as nested tiles whose areas are proportional to their bytes: the
// members of the container in view, and theirs, three levels deep. Members too small to see
// are folded into one "other" tile per container; a click zooms into a tile, the path above
// the map leads back out.

const treemapLayout = {
    memberLimit: treemapMembers, // members drawn per container at most; the rest are folded
    minTilePixels: 48, // a member smaller than this (in square pixels) is folded
    alwaysShown: 8, // members drawn at the top however small, so zooming into "other" gets on
    header: 18, // height of a container's name above its members
    pad: 2,
    nestWidth: 60, // a container smaller than this shows no members
    nestHeight: 44,
    depth: 3,
    labelWidth: 34,
    labelHeight: 15,
};
const groupColours = 10; // --group-0 to --group-9 in the page's styles

// The node a zoomed view leads back to.
function viewParent(node) {
    return node.kind === "other" ? node.source : node.parent;
}

function otherTitle(node) {
    const entries = formatCount(node.entryCount, "entry", "entries");
    if (node.source.children === null) {
        return "other: " + entries;
    }
    const members = node.source.kind === "memory" ? " areas, " : " groups, ";
    return "other: " + formatInt(node.memberCount) + members + entries;
}

function nodeTitle(node) {
    if (node.kind === "other") {
        return otherTitle(node);
    }
    if (node.kind === "free") {
        return "free";
    }
    return node.name;
}

function createTreemap(tree, context, memoryKey) {
    const view = { root: tree, nodes: new Map() };
    const element = setData(el("div", "treemap"), { treemap: memoryKey });
    const toolbar = el("div", "treemap-toolbar");
    const crumbs = el("nav", "treemap-crumbs");
    crumbs.setAttribute("aria-label", "Zoom path");
    const up = button("\u2191 Out", "treemap-up", () => {
        if (viewParent(view.root) !== null) {
            zoom(viewParent(view.root));
        }
    });
    const canvas = el("div", "treemap-canvas");
    const tooltip = el("div", "treemap-tooltip");
    tooltip.hidden = true;
    appendAll(toolbar, [up, crumbs]);
    appendAll(element, [toolbar, canvas, tooltip]);

    // The view the page's address names, or as near to it as the tree has tiles of those names.
    if (context.fragment.treemap === memoryKey) {
        for (const name of context.fragment.path) {
            const inside = view.root.children === null ? [] : view.root.children;
            const found = inside.find((member) => member.name === name);
            if (found === undefined) {
                break;
            }
            view.root = found;
        }
    }

    function zoom(node) {
        view.root = node;
        // The address keeps the path to the view; an "other" tile is kept as what it folds.
        const path = [];
        for (let at = node; viewParent(at) !== null; at = viewParent(at)) {
            if (at.kind !== "other") {
                path.unshift(at.name);
            }
        }
        context.fragment.treemap = memoryKey;
        context.fragment.path = path;
        writeFragment(context.fragment);
        draw();
    }

    function drawCrumbs() {
        crumbs.textContent = "";
        const path = [];
        for (let at = view.root; at !== null; at = viewParent(at)) {
            path.unshift(at);
        }
        path.forEach((node, i) => {
            if (i > 0) {
                crumbs.appendChild(el("span", "crumb-separator", "\u203a"));
            }
            if (i === path.length - 1) {
                crumbs.appendChild(el("span", "crumb-here", nodeTitle(node)));
            } else {
                crumbs.appendChild(button(nodeTitle(node), "crumb", () => zoom(node)));
            }
        });
        up.disabled = path.length === 1;
    }

    function colourTile(tile, node) {
        // Areas keep their dark frame; their change is written in their header.
        if (context.changes !== null && node.kind !== "free" && node.kind !== "area") {
            const step =
                node.kind === "entry" && context.changes.isAdded(node.entry) ? 5 : changeStep(node.change, node.bytes);
            tile.classList.add(step > 0 ? "change-up-" + step : step < 0 ? "change-down-" + -step : "change-none");
            return;
        }
        if (node.kind === "group" || node.kind === "entry" || node.kind === "other") {
            const colour = node.colour >= 0 ? node.colour % groupColours : 0;
            tile.style.setProperty("--tile-colour", "var(--group-" + colour + ")");
        }
    }

    function label(node) {
        const size = formatSize(node.kind === "area" ? node.used : node.bytes);
        const change = context.changes !== null && node.change ? " " + formatSigned(node.change) + " B" : "";
        return { name: nodeTitle(node), size: size + (node.kind === "area" ? " used" : "") + change };
    }

    // What a container shows inside `rect`: the largest members that are big enough to see,
    // one "other" tile for the rest, and an area's free bytes; largest first. `shown` counts
    // the members drawn one by one.
    function planMembers(container, rect, depth) {
        if (!(container.bytes > 0) || rect.w < 1 || rect.h < 1) {
            return { tiles: [], shown: 0 };
        }
        const scale = (rect.w * rect.h) / container.bytes;
        const wanted = membersOf(container, 0, treemapLayout.memberLimit, context.report.entries, context.changes);
        const shown = [];
        let shownBytes = 0;
        let shownEntries = 0;
        for (const member of wanted) {
            const always = depth === 0 && shown.length < treemapLayout.alwaysShown;
            if (!always && member.bytes * scale < treemapLayout.minTilePixels) {
                break;
            }
            shown.push(member);
            shownBytes += member.bytes;
            shownEntries += member.entryCount;
        }
        const tiles = shown.slice();
        if (shown.length < memberTotal(container)) {
            const other = otherNode(
                container,
                shown.length,
                contentBytes(container) - shownBytes,
                container.entryCount - shownEntries,
            );
            if (context.changes !== null) {
                other.change = (container.change || 0) - shown.reduce((sum, m) => sum + (m.change || 0), 0);
            }
            tiles.push(other);
        }
        if (container.free !== null && container.free.bytes > 0) {
            tiles.push(container.free);
        }
        return { tiles: tiles.filter((node) => node.bytes > 0).sort((a, b) => b.bytes - a.bytes), shown: shown.length };
    }

    function drawMembers(plan, rect, depth, parentId) {
        const rects = squarify(
            plan.tiles.map((node) => node.bytes),
            rect,
        );
        plan.tiles.forEach((node, i) => drawTile(node, rects[i], depth, parentId));
    }

    function drawTile(node, rect, depth, parentId) {
        const left = Math.round(rect.x);
        const top = Math.round(rect.y);
        const width = Math.round(rect.x + rect.w) - left;
        const height = Math.round(rect.y + rect.h) - top;
        const pad = treemapLayout.pad;
        const inner = {
            x: rect.x + pad,
            y: rect.y + treemapLayout.header,
            w: rect.w - 2 * pad,
            h: rect.h - treemapLayout.header - pad,
        };
        // A container shows its members when there is room and at least one of them is big
        // enough to draw; "other" tiles never do, a click opens them.
        const plan =
            isContainer(node) &&
            node.kind !== "other" &&
            depth + 1 < treemapLayout.depth &&
            width >= treemapLayout.nestWidth &&
            height >= treemapLayout.nestHeight
                ? planMembers(node, inner, depth + 1)
                : null;
        const nests = plan !== null && plan.shown > 0;
        const tile = el("div", "tile tile-" + node.kind + (nests ? " tile-nested" : ""));
        tile.style.left = left + "px";
        tile.style.top = top + "px";
        tile.style.width = width + "px";
        tile.style.height = height + "px";
        const area = areaOf(node);
        setData(tile, {
            node: node.id,
            parent: parentId,
            tile: node.kind,
            name: nodeTitle(node),
            area: area === null ? undefined : area.name,
            bytes: node.bytes,
            used: node.kind === "area" ? node.used : undefined,
            px: width * height,
            leaf: nests ? undefined : "1",
            count: node.kind === "other" ? node.entryCount : undefined,
            change: context.changes !== null && node.kind !== "free" ? node.change || 0 : undefined,
        });
        colourTile(tile, node);
        const text = label(node);
        if (nests) {
            tile.appendChild(el("div", "tile-header", text.name + " \u00b7 " + text.size));
        } else if (width >= treemapLayout.labelWidth && height >= treemapLayout.labelHeight) {
            const caption = el("div", "tile-label");
            caption.appendChild(el("span", "tile-name", text.name));
            caption.appendChild(el("span", "tile-size", text.size));
            if (node.kind === "group" || node.kind === "area") {
                caption.appendChild(el("span", "tile-size", formatCount(node.entryCount, "entry", "entries")));
            }
            tile.appendChild(caption);
        }
        canvas.appendChild(tile);
        view.nodes.set(node.id, node);
        if (nests) {
            drawMembers(plan, inner, depth + 1, node.id);
        }
    }

    function draw() {
        canvas.textContent = "";
        view.nodes.clear();
        tooltip.hidden = true;
        drawCrumbs();
        const root = view.root;
        setData(canvas, { root: nodeTitle(root), bytes: root.bytes });
        if (!(root.bytes > 0)) {
            canvas.appendChild(el("p", "treemap-empty", "Nothing lies in " + root.name + "."));
            return;
        }
        const rect = { x: 0, y: 0, w: canvas.clientWidth, h: canvas.clientHeight };
        drawMembers(planMembers(root, rect, 0), rect, 0, root.id);
        canvas.dataset.tiles = String(view.nodes.size);
    }

    function tooltipLines(node) {
        const area = areaOf(node);
        const used = area === null ? 0 : area.used;
        const share = (bytes, whole, what) => formatPercent(percentOf(bytes, whole)) + " of " + what;
        const lines = [];
        if (node.kind === "entry") {
            const entry = context.report.entries[node.entry];
            const holder = node.parent;
            lines.push("Entry in " + (holder.kind === "group" ? holder.name.trim() + ", " : "") + area.name);
            lines.push("Address " + formatAddress(entry.address));
            lines.push("Size " + (entry.bit === true ? formatInt(entry.size) + " bits" : formatBytes(entry.size)));
            lines.push(share(node.bytes, used, "the area's used bytes"));
            if (holder.kind === "group") {
                lines.push(share(node.bytes, holder.bytes, "the " + groupingTitles[context.grouping]));
            }
            if (entry.object !== undefined) {
                lines.push("From " + originName(entry));
            }
        } else if (node.kind === "group") {
            lines.push(groupingTitles[context.grouping] + " in " + area.name);
            lines.push("Size " + formatBytes(node.bytes) + " in " + formatCount(node.entryCount, "entry", "entries"));
            lines.push(share(node.bytes, used, "the area's used bytes"));
        } else if (node.kind === "area") {
            const a = node.area;
            lines.push(formatAddress(a.start) + " \u2013 " + formatAddress((a.start + Math.max(a.size, 1) - 1) >>> 0));
            lines.push(
                "Used " +
                    formatBytes(a.used) +
                    " of " +
                    formatBytes(a.size) +
                    " (" +
                    formatPercent(a.used_percent) +
                    ")",
            );
            lines.push("Free " + formatBytes(a.free) + ", " + formatCount(a.entries, "entry", "entries"));
        } else if (node.kind === "other") {
            lines.push("Folded: too small to draw one by one");
            lines.push("Size " + formatBytes(node.bytes));
            if (area !== null) {
                lines.push(share(node.bytes, used, "the area's used bytes"));
            }
            lines.push("Click to see them");
        } else if (node.kind === "free") {
            lines.push("Free " + formatBytes(node.bytes) + " of " + formatBytes(area.area.size) + " in " + area.name);
        }
        // Areas keep their dark frame; their change is written in their header.
        if (context.changes !== null && node.kind !== "free" && node.kind !== "area") {
            const change = node.change || 0;
            lines.push("Change " + formatSigned(change) + " B against the base");
        }
        return lines;
    }

    canvas.addEventListener("mousemove", (event) => {
        const tile = event.target.closest(".tile");
        const node = tile === null ? undefined : view.nodes.get(Number(tile.dataset.node));
        if (node === undefined) {
            tooltip.hidden = true;
            return;
        }
        tooltip.textContent = "";
        tooltip.appendChild(el("strong", "", nodeTitle(node)));
        for (const line of tooltipLines(node)) {
            tooltip.appendChild(el("div", "", line));
        }
        tooltip.hidden = false;
        const box = element.getBoundingClientRect();
        const x = event.clientX - box.left + 14;
        const y = event.clientY - box.top + 14;
        tooltip.style.left = Math.min(x, Math.max(0, box.width - tooltip.offsetWidth - 4)) + "px";
        tooltip.style.top = y + "px";
    });
    canvas.addEventListener("mouseleave", () => {
        tooltip.hidden = true;
    });
    canvas.addEventListener("click", (event) => {
        const tile = event.target.closest(".tile");
        const node = tile === null ? undefined : view.nodes.get(Number(tile.dataset.node));
        if (node === undefined) {
            return;
        }
        // A leaf zooms into what holds it, unless the view is inside that already.
        const target = isContainer(node) ? node : node.parent;
        for (let at = view.root; at !== null; at = viewParent(at)) {
            if (at === target) {
                return;
            }
        }
        zoom(target);
    });

    return { element: element, draw: draw };
}
