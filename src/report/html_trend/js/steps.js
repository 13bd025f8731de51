// The steps of an area's used bytes: the change of each build against the latest earlier
// build that had the area, and the largest of them, which the chart marks.

// One change per build: NaN for a build without the figure or without an earlier one.
function figureChanges(used) {
    const changes = new Float64Array(used.length);
    let previous = -1;
    for (let i = 0; i < used.length; i += 1) {
        if (used[i] === null) {
            changes[i] = NaN;
            continue;
        }
        changes[i] = previous < 0 ? NaN : used[i] - used[previous];
        previous = i;
    }
    return changes;
}

// The index of the latest build before `build` that has a figure, or -1.
function previousWithFigure(used, build) {
    for (let i = build - 1; i >= 0; i -= 1) {
        if (used[i] !== null) {
            return i;
        }
    }
    return -1;
}

// The `count` largest changes by size, growth and shrinking alike, as [{build, change}];
// of equal ones the earlier build comes first. A build without change is no step.
function largestSteps(changes, count) {
    const steps = [];
    for (let i = 0; i < changes.length; i += 1) {
        if (Number.isFinite(changes[i]) && changes[i] !== 0) {
            steps.push({ build: i, change: changes[i] });
        }
    }
    steps.sort((a, b) => Math.abs(b.change) - Math.abs(a.change) || a.build - b.build);
    return steps.slice(0, count);
}
