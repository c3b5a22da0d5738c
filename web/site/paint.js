// Plays the engine's drawing lists on a 2D canvas. The geometry is the
// program's own (web/draw_list.h); this file knows only the list's format
// and how a canvas draws each operation.
'use strict';

const PaintOp = { Image: 1, Stars: 2, Polyline: 3, Ellipse: 4, Text: 5, Rect: 6 };
const PaintFont =
  '15px "AR PL UMing CN", "AR PL UMing TW", SimSun, "Noto Serif CJK SC", "WenQuanYi Zen Hei", "Noto Sans CJK SC", serif';
// The window's dashed and dotted pens.
const PaintDashes = [[], [4, 2], [1, 2]];

function paintColour(rgb, alpha = 255) {
  return `rgba(${(rgb >> 16) & 255},${(rgb >> 8) & 255},${rgb & 255},${alpha / 255})`;
}

// The pictures with their white ground made transparent, as the window keys
// them once at load.
async function loadPictures(urls) {
  return Promise.all(
    urls.map(async (url) => {
      const bitmap = await createImageBitmap(await (await fetch(url)).blob());
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const ctx = canvas.getContext('2d');
      ctx.drawImage(bitmap, 0, 0);
      const img = ctx.getImageData(0, 0, bitmap.width, bitmap.height);
      const px = img.data;
      for (let i = 0; i < px.length; i += 4)
        if (px[i] === 255 && px[i + 1] === 255 && px[i + 2] === 255) px[i + 3] = 0;
      return createImageBitmap(img);
    })
  );
}

function playList(ctx, ops, texts, pictures) {
  ctx.imageSmoothingEnabled = true;
  ctx.font = PaintFont;
  ctx.textBaseline = 'top';
  ctx.lineJoin = 'miter';
  for (let i = 0; i < ops.length; ) {
    const op = ops[i++];
    if (op === PaintOp.Image) {
      const p = pictures[ops[i]];
      const whole = ops[i + 3] === 0;
      ctx.drawImage(p, ops[i + 1], ops[i + 2], whole ? p.width : ops[i + 3], whole ? p.height : ops[i + 4],
                    ops[i + 5], ops[i + 6], ops[i + 7], ops[i + 8]);
      i += 9;
    } else if (op === PaintOp.Stars) {
      const n = ops[i++];
      for (let k = 0; k < n; ++k, i += 3) {
        ctx.fillStyle = `rgb(255,240,${ops[i + 2]})`;
        ctx.fillRect(ops[i], ops[i + 1], 1, 1);
      }
    } else if (op === PaintOp.Polyline) {
      const [rgb, alpha, width, dash, n] = ops.subarray(i, i + 5);
      i += 5;
      // Odd widths on pixel centres, as the window's unsmoothed pens fall.
      const half = width % 2 ? 0.5 : 0;
      ctx.beginPath();
      for (let k = 0; k < n; ++k, i += 2) ctx.lineTo(ops[i] + half, ops[i + 1] + half);
      ctx.strokeStyle = paintColour(rgb, alpha);
      ctx.lineWidth = width;
      ctx.setLineDash(PaintDashes[dash] || []);
      ctx.stroke();
      ctx.setLineDash([]);
    } else if (op === PaintOp.Ellipse) {
      const [fill, stroke, width, x, y, w, h] = ops.subarray(i, i + 7);
      i += 7;
      ctx.beginPath();
      ctx.ellipse(x + w / 2, y + h / 2, w / 2, h / 2, 0, 0, 2 * Math.PI);
      if (fill >= 0) {
        ctx.fillStyle = paintColour(fill);
        ctx.fill();
      }
      ctx.strokeStyle = paintColour(stroke);
      ctx.lineWidth = width;
      ctx.stroke();
    } else if (op === PaintOp.Text) {
      ctx.fillStyle = paintColour(ops[i]);
      ctx.fillText(texts[ops[i + 3]], ops[i + 1], ops[i + 2]);
      i += 4;
    } else if (op === PaintOp.Rect) {
      ctx.fillStyle = paintColour(ops[i]);
      ctx.fillRect(ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4]);
      i += 5;
    } else {
      throw new Error(`unknown drawing operation ${op}`);
    }
  }
}
