// Debian's Chromium under Playwright, headless, in a fresh profile that is removed afterwards.
// Without the background-networking flags Chromium's own connections are refused here.
import fs from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import {chromium} from 'playwright-core';

const flags = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// Resolves to {page, context, close}: one page in a browser of its own; `options` add to or
// replace the context's (a phone's viewport, touch).
export async function openChromium(options = {}) {
  const profile = await fs.mkdtemp(path.join(os.tmpdir(), 'taspo-chromium-'));
  let context;
  try {
    context = await chromium.launchPersistentContext(profile, {
      executablePath: process.env.TASPO_CHROMIUM ?? '/usr/bin/chromium',
      headless: true,
      args: flags,
      viewport: {width: 800, height: 700},
      ...options,
    });
  } catch (error) {
    await fs.rm(profile, {recursive: true, force: true});
    throw error;
  }
  const page = context.pages()[0] ?? await context.newPage();
  return {
    page,
    context,
    close: async () => {
      await context.close().catch(() => {});
      await fs.rm(profile, {recursive: true, force: true});
    },
  };
}
