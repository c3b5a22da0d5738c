// korvane-cli's side of the comparisons: the command line for a case and the
// record its output makes, written by the page's own formatter.
'use strict';
const { execFileSync } = require('child_process');

function describe(c) {
  const args = [c.command];
  if (c.level) args.push('--level', String(c.level));
  if (c.command !== 'fly-net') args.push('--seed', String(c.seed));
  if (c.heuristic) args.push('--heuristic');
  for (const [name, value] of Object.entries(c.set || {})) args.push('--set', `${name}=${value}`);
  return args;
}

// The case's command line; the numbers do not depend on the threads.
function cliArgs(c) {
  return c.command === 'fly-net' ? describe(c) : [...describe(c), '--quiet'];
}

// format(command, cliObject) writes the record (the page's formatter).
async function cliRecord(cli, c, format) {
  const out = JSON.parse(execFileSync(cli, cliArgs(c), { maxBuffer: 64 << 20 }).toString());
  return format(c.command, out);
}

// Null when the two records are the same text, else where they part.
function difference(page, cli) {
  if (page === cli) return null;
  const a = page.split('\n');
  const b = cli.split('\n');
  const i = a.findIndex((line, k) => line !== b[k]);
  const at = i < 0 ? a.length : i;
  return `line ${at + 1}: page "${a[at] ?? '(end)'}", korvane-cli "${b[at] ?? '(end)'}"`;
}

module.exports = { cliArgs, describe, cliRecord, difference };
